// The absence report on a printer: the absence list of a period, or the forecast leave report,
// one line per absence (or leave request) of the host's list with a weekly bar chart beside the
// text, grouped by sector (a new page per sector) or by commune.
//
// A page opens with its heading and, from its first line on, the group heading and the chart's
// heading band; its lines are printed while it fills; the chart body, the bars of the page's
// lines and the legend of the categories present on the page are drawn when it closes. The
// bars are drawn from the same selection as the text (line key of 5 or 12 characters, a known
// helper, a code without blanks, a sector the rights entry allows), so that they correspond one
// to one.
//
// A failure inside one step of the walk (a group heading, a line, a page's chart) abandons that
// step and the walk goes on; what could not be printed is kept as a note (notes()) for the
// caller to show once the document is over.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "client/dba.h"
#include "rights/rights.h"

namespace orv {
class Printer;
}

namespace traceabsences {

// What the host asks for.
struct Parametres {
    long deb = 0;               // first day of the period (internal day number)
    long fin = 0;               // last day of the period
    bool congeAbsence = false;  // true: forecast leave report; false: absence list
    bool secteur = false;       // group by sector, a new page per sector
    bool commune = false;       // group by commune (when not by sector)
};

// The chart of the absence list spans every day of the period, so that every absence of the
// period gets its bar: the weeks are those the period has days in (its last week may be
// partial), at least one.
int nombreSemaines(long deb, long fin);
// Why the period cannot be printed, in French, or an empty text: a day that is no date, an end
// before the start, an absence list longer than orv::lignesabsences::JoursAuPlus days.
QString periodeRefusee(const Parametres& p);
// Chart category of an absence code (1 work stoppages, 2 leave, 3 the others).
int categorieAbsence(const QString& code);
// Chart category of a leave request status ("Ref" 1, "Acc" 2, "EnC" 3, anything else 0).
int categorieStatut(const QString& statut);

class EtatAbsences {
  public:
    static constexpr int UnCm = 567;

    EtatAbsences(dba::Database& database, orv::Printer& printer, const orv::RightsEntry& droits);
    ~EtatAbsences();

    void setParametres(const Parametres& parametres) { p_ = parametres; }
    // The lines are split once here: every later look-up of a line's value is direct.
    void setRequete(const dba::Record& requete);
    // Told after each line of the list is walked (its index).
    void setProgression(std::function<void(int)> progression) {
        progression_ = std::move(progression);
    }

    // Prints the whole report on the printer (its orientation is set here: landscape unless it
    // is a matrix printer) without ending the document; returns the helper lines printed.
    // Failures before the walk (a file that cannot be opened, a refused period) propagate.
    int imprimer();

    const QStringList& notes() const { return notes_; }
    // The width of a page of the report in twips: its table, from 0 to 28.8 cm.
    static double largeurTableau();
    const QStringList& couleurs() const { return Couleurs; }

  private:
    void ouvrirFichiers();
    void remplirCouleurs();
    void remplirJours();
    void parcourir();
    void traiterLigne(bool& groupeImprime);

    void Entete_Page();
    void Entete_Detail();
    void Imprime_Graphique();
    void Verif_Ligne();
    void New_Page();
    void Entete_Graphique();
    void Edition_Fin_Graphique();
    // Prints the week labels; returns where each lies across the chart (twips, from-to).
    QList<std::pair<double, double>> etiquettesSemaines();
    void traceBarres(int compteurs[4]);
    void traceLegende(const int compteurs[4]);
    static bool CodeAidant(const QString& texte);

    // The line's helper record when the line is to be printed (and drawn); false otherwise.
    // A missing helper is no error; other data-access errors propagate.
    bool ligneRetenue(int i, dba::Record& civil);
    QString valeur(int i, int v) const { return lignes_.value(i - 1).value(v - 1); }
    QString valeur1(int i) const { return valeur(i, 1); }
    int nombreLignes() const { return int(lignes_.size()); }
    // Runs one step; a failure is noted and abandons that step only.
    void etape(const QString& quoi, const std::function<void()>& f);

    double tw(double cm) const { return cm * UnCm; }
    void position(double xCm, double yCm);
    void trait(double x1, double y1, double x2, double y2);
    void boite(double x1, double y1, double x2, double y2, const QColor& fond);
    QColor couleur(const QString& texte);
    double origineGraphique() const { return p_.congeAbsence ? 8.645 : 7.0; }
    int semainesAffichees() const { return p_.congeAbsence ? 8 : NbSemaines; }
    // Days charted: every day of the period in the absence list, eight weeks in the forecast.
    long joursGraphique() const;
    double bordGraphique() const { return origineGraphique() + joursGraphique() * LargJour; }
    // Value 2 of the current line, cut to what fits between the cursor and x = limite (cm).
    QString ceQuiTient(const QString& texte, double limiteCm) const;
    bool datesMasquees() const;
    // The sector's name; the code itself when the sector has no record.
    QString nomSecteur(const QString& code);

    dba::Database& database_;
    orv::Printer& printer_;
    const orv::RightsEntry& droits_;
    Parametres p_;
    std::function<void(int)> progression_;

    std::shared_ptr<dba::File> absencesAidant_, civilAidant_, communes_, secteurFichier_, tables_,
        statAidant_, tpsParam_;
    QList<QStringList> lignes_;  // Requete: line i at index i - 1, its values from index 0
    dba::Record civil_;

    int NbLignesPage = 59;
    double Ligne = 1;
    int NumPage = 1;
    int IndLigne = 1;
    int NbImprimes = 0;
    int PremLigne = 1;
    int DernLigne = 0;
    QString GroupeCourant;
    int NbSemaines = 1;
    double LargSemaine = 0;
    double LargJour = 0;
    QStringList Couleurs;              // categories 1 to 3 at indexes 0 to 2, RGB values as text
    QStringList DatesDebut, DatesFin;  // line i at index i - 1
    QStringList notes_;
};

}  // namespace traceabsences
