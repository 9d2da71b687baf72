// The printout of a timetable record ("EMPLOITPS" + user of TEMPO): one table per page under a
// page and person heading, at most 35 timetable lines a page, a new page at each new person
// when the edition covers several persons, the name of the entry repeated at the top of a page
// that starts with a continuation line, and the two markers "£" and "¤" printed in Verdana.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "client/dba.h"

namespace orv {
class Printer;
class PageBreaker;
}  // namespace orv

namespace horaireaidants {

// Who the timetable is for and over which days. ImpressionEntete changes the person code when
// a person line ("#" + code) starts a new person.
struct ParametresEdition {
    QString codAidant = QString();   // one helper, or the current helper of several
    QString codeAide = QString();    // one client, or the current client of several
    QString aidantAide = QString();  // "AIDANT", "AIDE" or empty
    long jourDebut = 0;
    long jourFin = 0;
};

class EditionEmploiTemps {
  public:
    static constexpr int kLignesParPage = 35;

    EditionEmploiTemps(dba::Database& database, orv::Printer& printer);
    ~EditionEmploiTemps();

    // The kind of persons is read as the routine reads it ("aidant" is "AIDANT").
    void setParametres(ParametresEdition parametres);
    const ParametresEdition& parametres() const { return p_; }
    // Told after every printed timetable line, with the number of lines printed.
    void setProgression(std::function<void(int)> progression) {
        progression_ = std::move(progression);
    }

    // Nothing to print: "VIDE" in attribute 1, or "FIN" as the first line.
    static bool aucunEmploi(const dba::Record& emploi);
    // The number of timetable lines before "FIN" (for the progress of a print job).
    static int nombreLignes(const dba::Record& emploi);

    // Prints the whole timetable; the document is left open for the caller to end. Person
    // lines are removed from `emploi` as they are met. The record is split into its lines once:
    // looking a line up by its number in the record would read the record from its start.
    void imprimer(dba::Record& emploi);

    // A client's timetable: no helper, one client.
    bool emploiAide() const { return p_.codAidant.isEmpty() && !p_.codeAide.isEmpty(); }

  private:
    void ImpressionEntete(int& i);
    void EnteteTableau();
    void EditionFinTableau();
    void imprimerAdresse(const dba::Record& personne, int retrait);
    void sautDePage();
    bool sautNecessaire() const;
    QString ligneImprimee(int k) const;
    void imprimerNomRetenu();
    void imprimerLigne(const QString& ligne);
    // The marker print: `debut` in Courier New, the two markers in Verdana from 6580 twips,
    // then `suite` from 6960 twips in Courier New (the line ends after the markers when there
    // is no `suite`).
    void imprimerMarques(const QString& debut, QChar marque1, QChar marque2, const QString* suite);
    dba::Record lirePersonne();
    void courier(double taille = 10, bool gras = false);
    // Line k of the timetable record (attribute k), its value 1, and the removal of that value
    // (the record's Delete(k, 1)); a line past the end is empty.
    QString ligne(int k) const;
    QString valeur1(int k) const;
    void supprimerValeur1(int k);
    int nombreAttributs() const { return int(lignes_.size()); }

    dba::Database& database_;
    orv::Printer& printer_;
    ParametresEdition p_;
    std::function<void(int)> progression_;
    std::shared_ptr<dba::File> civilAidant_;
    std::shared_ptr<dba::File> civilAide_;
    std::unique_ptr<orv::PageBreaker> coupure_;

    std::vector<orv::DynArray> lignes_;  // attribute k at index k - 1
    bool lignesModifiees_ = false;
    int k_ = 2;
    int UnCm = 567;
    int NumPage = 0;
    int NbLignes = 1;
    double HautTableau = 0;
    double BasTableau = 0;
    bool nouvellePage_ = false;
    QString nomRetenu_;
};

}  // namespace horaireaidants
