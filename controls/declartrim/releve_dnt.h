// The printout of the quarterly declaration statement: one complete copy per GestionRequete
// run, on the given printer, line by line in a fixed-pitch font. One row per declaration, a
// total at the foot of every page, a carried-forward line at the head of every page after the
// first, and a grand total at the end.
//
// What the data does not allow to print exactly is not hidden: an amount that is not a whole
// number counts as 0, a declaration whose helper or declaration record is missing prints with
// what exists, and both are collected as notes (anomalies()) for the caller to show once the
// print job is over.
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "client/dba.h"
#include "controls/declartrim/releve_lignes.h"

namespace orv {
class Printer;
}

namespace declartrim {

// What the statement is printed from.
struct DonneesReleve {
    dba::Record selection;  // attribute n, value 1 = key of the n-th declaration, in print order
    dba::Record entite;     // the ASSOCIATION record
    dba::Record centre;     // the CENTREURSSAF record
    QString trimestre;      // the quarter label ("4ème TRIMESTRE 2004")
};

class ReleveDnt {
  public:
    ReleveDnt(dba::Database& database, orv::Printer& printer);

    void setDonnees(DonneesReleve donnees) { donnees_ = std::move(donnees); }
    const DonneesReleve& donnees() const { return donnees_; }
    // Told after every printed row: rows printed in this run, rows of the selection.
    void setProgression(std::function<void(int, int)> progression) {
        progression_ = std::move(progression);
    }

    // Prints one copy. Errors of the data-access layer other than a missing record propagate.
    void GestionRequete();

    // Notes on the data gathered over every run since the object was made, each once, in the
    // order met.
    const QStringList& anomalies() const { return anomalies_; }

    // The width, in twips, of the widest line of the statement (Courier New 10).
    double largeurLigne();

    // Page-break limit in twips: 15600 on a matrix printer (device name holding "MATRIC" in any
    // case), 10800 elsewhere.
    static int limitePage(const QString& deviceName);
    // The address line of attributes first to first + 3 of a record.
    static QString ConcatAdresse(const dba::Record& record, int first);

  private:
    // An amount column: its text and its width in characters.
    struct Cellule {
        QString texte;
        int largeur;
    };
    // The head of a row followed by its amount columns, inside the page's width.
    QString ligneMontants(const QString& debut, QList<Cellule> cellules);
    int caracteresParLigne() const;

    void EntetePage();
    void EnteteEntite();
    void EnteteCentreUrssaf();
    void EnteteBloc(const QString& libelle, const dba::Record& record);
    void EnteteTableau();
    void ContenuTableau();
    void NewPage();
    void EnteteTotalPage();
    void EnteteTotalReport();
    void EnteteTotalCumuleListage();
    void ajouterPageAuReport();

    // Reads a record of a selected declaration; a missing one gives an empty record and a note.
    dba::Record lireFiche(const std::shared_ptr<dba::File>& file, const QString& key);
    // An amount of the current declaration: 0 and a note when it is not a whole number.
    qint64 montant(const QString& text, int attribute);
    // Adds into a total; a total that would leave 64 bits stops at its limit, with a note.
    void cumuler(qint64& total, qint64 value);
    void noter(const QString& note);
    void ligne(const QString& text = QString());

    dba::Database& database_;
    orv::Printer& printer_;
    DonneesReleve donnees_;
    std::function<void(int, int)> progression_;

    std::shared_ptr<dba::File> civilAide_;
    std::shared_ptr<dba::File> detailChgPartemp_;
    std::shared_ptr<dba::File> eltsPartemp_;
    QString cleDeclaration_;
    dba::Record civil_;
    dba::Record elements_;
    dba::Record detail_;

    Totaux totauxPage_{};
    Totaux totauxReport_{};
    QStringList anomalies_;
    QSet<QString> anomaliesVues_;
};

}  // namespace declartrim
