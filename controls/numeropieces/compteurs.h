// The billing counters of one legal entity (record NUMEROFACT, key = the entity code) and the
// screen that edits them: where each value is stored, its stored form, what the screen shows
// for it, what validation refuses and what counts as a change when leaving.
//
// NUMEROFACT record:
//   1..6   invoice number counters (client / funding body, per mode), 10 characters "0"-padded
//   7, 8   billing floors Prestataire and Intermédiaire, in cents, empty when zero
//   9      SSIAD payment statement number, as the counters
//   10     federation billing statement number, 10 characters; nine zeros when empty
//   11..13 helpers' names on invoices per mode: "1" or "0", empty reads as "1"
//   14..16 invoice printing floor per mode, in cents, empty when not used
//   17..19 print negative invoices per mode: 1 or empty
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "client/dba.h"

namespace numeropieces {

// The fields of one billing mode; the widget names are built from `suffixe` and `lettre`
// (Txt_AidePrest, Cac_PlanFactP, ...).
struct Mode {
    QString code;     // billing mode code of the activities: "P", "M", "I"
    QString suffixe;  // Prest, Mandat, Inter
    QString lettre;   // P, M, I
    QString pluriel;  // prestataires, mandataires, intermédiaires (messages)
    int attrAide;
    int attrOrga;
    int attrPlancherFact;  // 0: the mode has no billing floor
    int attrNomIntervenants;
    int attrPlancherEdition;
    int attrFactNegatives;
};

inline constexpr int kNombreModes = 3;
const std::array<Mode, kNombreModes>& modes();

inline constexpr int kAttrNumSsiad = 9;
inline constexpr int kAttrNumEtatFact = 10;
inline constexpr int kLongueurNumero = 10;
inline constexpr int kDernierAttribut = 19;
// Above this amount (euros) an invoice printing floor is refused.
inline constexpr double kPlancherEditionMax = 10.0;
// Activity code of a SSIAD activity.
inline const QString kCodeSsiad = QStringLiteral("S");

inline const QString kNumeroVide = QStringLiteral("0000000000");
inline const QString kNumEtatFactVide = QStringLiteral("000000000");

inline const QString kMessagePlancherMaxSortie =
    QStringLiteral("La valeur maximale pour le plancher d'édition des factures est de 10 euros.");
inline const QString kMessagePlancherMaxValidation =
    QStringLiteral("Le montant maximal pour le plancher d'édition des factures est de 10 euros.");
QString messagePlancherVide(const Mode& mode);

// `texte` fitted to `longueur` characters: its first `longueur` characters when longer, else
// preceded by copies of the first character of `caractere`.
QString Cadrage(const QString& texte, int longueur, const QString& caractere);

// A stored number as the screen shows it: "0000000125" gives "125", "0000000000" gives "0";
// an empty attribute stays empty and a text that is not a whole number is shown as it is.
QString texteNombre(const QString& stocke);
// The whole number of a stored or typed text; 0 when empty or not a number.
qlonglong valeurNombre(const QString& texte);

// Amounts. A stored amount in cents shown in a box through the utility object ("50" gives
// "0,50"; empty stays empty).
QString montantAffiche(const QString& centimes);
// A typed amount read with the decimal comma, in cents; 0 when empty or not a number.
qlonglong montantCentimes(const QString& texte);
// Whether a typed amount is a number at all (a lone "," is not).
bool montantLisible(const QString& texte);

// Stored forms.
QString numeroStocke(const QString& texte);       // counters and attribute 9
QString numEtatFactStocke(const QString& texte);  // attribute 10

// What the screen holds, box by box, as typed.
struct Saisie {
    struct ParMode {
        QString aide;
        QString orga;
        QString plancherFact;
        bool nomIntervenants = false;
        bool plancherEdition = false;
        QString montantEdition;
        bool factNegatives = false;
    };
    std::array<ParMode, kNombreModes> modes;
    QString numSsiad;
    QString numEtatFact;
};

// The screen filled from a loaded record (`federation`: the federation statement number is
// shown). Attribute 9 reads as 0 when empty; the caller keeps that in its loaded record.
Saisie saisieDepuis(const dba::Record& numeroFact, bool federation);
// What an entity without a NUMEROFACT record is compared with when leaving: the screen it
// loads with (everything empty, every box unticked).
dba::Record enregistrementAbsent();
// Writes every attribute of the screen into the record in its stored form.
void ecrireSaisie(const Saisie& saisie, dba::Record& numeroFact);
// Whether the screen differs from the loaded record (the leaving check).
bool saisieModifiee(const Saisie& saisie, const dba::Record& charge);

// Validation: the first refusal, modes in order Prestataire, Mandataire, Intermédiaire.
struct Refus {
    int mode = 0;
    QString message;
    bool viderMontant = false;
};
std::optional<Refus> controlerSaisie(const Saisie& saisie);

// The leaving check of a printing floor box: above the maximum (a text that does not read as
// an amount is not compared).
bool plancherEditionTropEleve(const QString& texte);

}  // namespace numeropieces
