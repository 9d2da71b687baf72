// The absence report's test kit: a database of helpers in sectors A and B, the report lines a
// host builds, and the report printed on a transcript printer and read back page by page.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "client/dba.h"
#include "controls/traceabsences/etat_absences.h"
#include "rights/rights.h"
#include "testkit.h"

namespace traceabsences::test {

constexpr double kTwips = 567;

// The internal day number of a date.
long jour(int annee, int mois, int j);

class BaseAbsences : public orv::test::TempDatabase {
  public:
    BaseAbsences();
    void aidant(const QString& code, const QString& nom, const QString& prenom = "Jean",
                const QString& secteur = "A", const QString& commune = "LYON",
                const QString& ref = QString());
    // n helpers 10001... of sector A, and one absence line for each in `requete`.
    void aidants(int n, dba::Record& requete, long debut, long fin);
};

// Appends a report line: value 1 the key, 2 the label, 3 the end day or the status, and for the
// forecast report values 8, 9, 14 (start and end days at 8-12 and 13-17) and 15.
void ajouterLigne(dba::Record& requete, const QString& cle, const QString& v2, const QString& v3,
                  const QString& v17 = QString());
void ajouterConge(dba::Record& requete, const QString& code, const QString& statut, long debut,
                  long fin);
QString cleAbsence(const QString& code, int motif, long debut);

struct Rendu {
    orv::test::Transcription t;
    int imprimes = 0;
    QStringList notes;
    QString orientation;

    // The helper lines (9-point text of one row joined), in the order of the page.
    QStringList lignes(int page) const;
    // Texts of the page whose font has `size` points.
    QStringList textes(int page, double size) const;
    // The bars of the page (filled boxes below the heading band).
    QList<QJsonObject> barres(int page) const;
    QStringList legendes(int page) const;
    // Operations of a kind on a page.
    QList<QJsonObject> ops(int page, const QString& kind) const;
    // Texts of the page at `size` points, with the extent (twips) of their visible characters.
    struct Morceau {
        double y, x1, x2;
        QString texte;
    };
    QList<Morceau> morceaux(int page, double size) const;
    // The visible pieces of the helper lines that overlap one another on their row, or that
    // enter the chart (from x0 to x1 cm), described; empty when every text keeps to its place.
    QStringList chevauchements(int page, double x0, double x1) const;
};

Rendu imprimer(BaseAbsences& base, const Parametres& p, const dba::Record& requete,
               const QString& imprimante = "Laser", bool couleur = true,
               const orv::RightsEntry& droits = orv::RightsEntry("ABSENCESAIDANT", 2),
               const std::function<void(int)>& progression = {});

}  // namespace traceabsences::test
