// The period of a timetable edition, shared by Ctr_EditEmplTps and its date dialog: the days
// proposed and confirmed (internal day numbers as text) and whether the user confirmed them.
// Also the dialog's rules that need no widget.
#pragma once

#include <QString>

namespace horaireaidants {

// Library-wide, as the dialog and the control share them.
inline QString DateDebut;
inline QString DateFin;
inline bool DatesValidees = false;

// The longest edition: the last day at most this many days after the first.
inline constexpr int kAmplitudeMaxJours = 62;

inline const QString kErreurSaisieDate =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
inline const QString kFinAvantDebut = QStringLiteral(
    "La date de fin d'édition de l'emploi du temps doit être supérieure ou égale à la date de "
    "début.");
inline const QString kAmplitudeTropGrande =
    QStringLiteral("L'amplitude d'édition de l'emploi du temps ne peut excéder 2 mois.");

// Eight digits typed without a separator ("01022005") gain their two slashes ("01/02/2005");
// every other text is returned unchanged (a date typed with dots or dashes is normalised when
// the box is left).
QString ajouterBarres(const QString& texte);

// True when both texts have the ten characters of a complete date (what enables "Ok").
bool datesCompletes(const QString& debut, const QString& fin);

// What leaving a date box gives: the normalised text, and whether the date cannot be used
// (the box then takes the focus back), with the message to show, if any.
struct DateSaisie {
    QString texte;
    bool erreur = false;
    QString message;
};
DateSaisie controlerDate(const QString& saisie);

// The check of "Ok": empty when the period is valid, else the message to show. `debut` and
// `fin` are internal day numbers.
QString controlerPeriode(long debut, long fin);

}  // namespace horaireaidants
