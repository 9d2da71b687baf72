// The selection of archived invoices, without widgets: the criteria chosen on the screen, the
// statement on ARCHIVEFACT built from them, the per-user request record of TEMPO that carries
// them to the edit control, and the checks made before selecting.
#pragma once

#include <QString>
#include <optional>

#include "client/dba.h"

namespace archivesenvoi {

// Each choice is "Aucun" while none of its options is selected.
enum class Activite { Aucune, Prestataire, Mandataire, Intermediaire };
enum class Selection { Aucune, Resp, Sect };
enum class Bornage { Aucun, Aide, NumFact };
enum class Tri { Aucun, Alpha, Resp, Sect, NumFact, Comm };

struct Criteres {
    QString entite;      // entity code, 3 digits
    QString periodeDeb;  // year then two-digit month
    QString periodeFin;
    Activite activite = Activite::Aucune;
    Selection selection = Selection::Aucune;
    QString code;  // responsible or sector code; empty for all of them
    Bornage bornage = Bornage::Aucun;
    QString borneDeb;
    QString borneFin;
    bool triAdresse = false;  // "Par adresse de facturation"
    Tri tri = Tri::Aucun;
};

// Year text followed by the month (index from 0 in the month list) on two digits:
// ("2005", 0) -> "200501".
QString periode(const QString& annee, int indexMois);

// The billing mode code of an activity option: "P", "M", "I"; empty for none.
QString codeActivite(Activite activite);

// The statement selecting the archived invoices of the criteria, sorted as chosen.
QString instructionArchives(const Criteres& c);
// The query request: 1 the statement, 2 "ARCHIVEFACT", 3 "0" (keys only).
dba::Record requeteArchives(const Criteres& c);

// Keys of the per-user records of TEMPO: the request and what the edit control exported.
QString cleRequeteFact(const QString& utilisateur);
QString cleArchiveFact(const QString& utilisateur);

// Sets values 1 to 10 of attribute 1 of the request record from the criteria. A value whose
// option is not selected keeps what the record held.
void remplirRequeteFact(dba::Record& requete, const Criteres& c);

// The name of the logged-on user of the operating system ($USER, else the password entry),
// upper-cased and whole whatever its length.
QString NomUtilisateur();

// Messages of the checks made before selecting.
inline const QString kMsgPeriodesVides =
    QStringLiteral("Les périodes de début et de fin doivent être renseignées.");
inline const QString kMsgAnneesQuatreChiffres =
    QStringLiteral("Les années de début et de fin s'écrivent avec quatre chiffres.");
inline const QString kMsgPeriodesOrdre =
    QStringLiteral("La période de fin doit être supérieure ou égale à la période de début.");
inline const QString kMsgBornesOrdre = QStringLiteral(
    "La valeur de la borne de fin doit être supérieure à la valeur de la borne de début.");

// The period check: both years filled (blanks trimmed), each of four digits, and the end not
// before the start (years, then month indexes). The message of the first failed check.
std::optional<QString> controlePeriodes(const QString& anneeDeb, int indexMoisDeb,
                                        const QString& anneeFin, int indexMoisFin);
// The bounds check: the end bound not below the start bound (in French order, as the
// selection compares them).
std::optional<QString> controleBornes(const QString& borneDeb, const QString& borneFin);

}  // namespace archivesenvoi
