// The computing procedures of the SoldeConges library: its files, the reference period of paid
// leave with the collective-agreement rules attached to it, the first day of the month after a
// pay period, and the list of a helper's leaves in a reference period, each restricted to the
// contract and to the period and counted by the server routine "CALCNBJOURABSENCE".
//
// Dates are internal day numbers held as text, converted only through OutilsCommuns. Nothing
// here touches a widget: the control shows what these procedures compute.
#pragma once

#include <QList>
#include <QString>
#include <memory>

#include "client/dba.h"
#include "controls/soldeconges/nombre_conges.h"

namespace soldeconges {

// Library-wide values (one copy per process, shared by every control of the library).
struct Mod_Variables {
    std::shared_ptr<dba::File> absencesAidant;  // ABSENCESAIDANT
    std::shared_ptr<dba::File> contrats;        // CONTRAT
    std::shared_ptr<dba::File> conventions;     // CONVENTIONCOL
    dba::Record contrat;
    dba::Record convention;
    QString debutPeriode;  // reference period shown, internal day numbers
    QString finPeriode;
    QString dateAcquisitionCA;  // seniority-leave acquisition date
    // Paid leave counted in working days ("Jours ouvrés"); set only for motive "14", so a
    // control started with another motive keeps what a previous one set.
    bool joursOuvres = false;
};

Mod_Variables& variablesBibliotheque();

inline const QString kMessagePeriodesPaie =
    QStringLiteral("Erreur lors de la lecture du fichier PERIODESPAIE");
inline const QString kRoutineCalcul = QStringLiteral("CALCNBJOURABSENCE");

// Opens ABSENCESAIDANT, CONTRAT and CONVENTIONCOL, in this order.
void Ouvrir_Fichiers(dba::Database& base, Mod_Variables& v);
// Releases the three records and the three file handles.
void Fermer_Fichiers(Mod_Variables& v);

// Sets the reference period containing the current pay period (record "1" of PERIODESPAIE),
// or the following one when `date` lies after it, the working-days flag (motive "14" only) and
// the seniority-leave acquisition date. Returns 1 for the following period, else 0. A missing
// or unreadable PERIODESPAIE record shows kMessagePeriodesPaie, returns 0 and changes nothing.
int Periode_Reference(dba::Database& base, Mod_Variables& v, const QString& date,
                      const QString& motif);

// First day of the month after a pay period ("200612" gives 1 January 2007), as a day number.
QString Mois_Suivant(const QString& periode);

// Kinds of leave counted, by motive: the label shown and the total it is credited to.
enum class Total { Aucun, CongesPayes, Anciennete, DelaiPrevenance };
QString libelleMotif(const QString& motif);
Total totalDuMotif(const QString& motif);

// The selection of a helper's leaves (motives 14 to 16, 25, 31) overlapping [debut, fin].
QString instructionAbsences(const QString& codeAidant, const QString& debut, const QString& fin);

// Restricts an absence record read from ABSENCESAIDANT to the contract (its end, its share of
// the absence) and to the reference period, sets attribute 10 to the contract's key and inserts
// the key, whose start is the counted start, as attribute 1: the record the routine receives.
void preparerAbsence(dba::Record& absence, const Mod_Variables& v);

struct LigneAbsence {
    QString debut;  // display dates
    QString fin;
    QString libelle;
    Nombre jours;
};

struct Absences {
    QList<LigneAbsence> lignes;
    Nombre congesPayes;
    Nombre anciennete;
    Nombre delaiPrevenance;
};

// The leaves of the helper in the reference period currently set, in selection order; an
// absence for which the routine counts nothing is left out.
Absences listerAbsences(dba::Database& base, const Mod_Variables& v, const QString& codeAidant);

// Compares two dates held as text: as numbers when both are, as texts otherwise.
int comparerDates(const QString& a, const QString& b);

}  // namespace soldeconges
