#include "controls/horaireaidants/dates_edition.h"

#include <algorithm>

#include "client/outils_communs.h"

namespace horaireaidants {

namespace {
constexpr int kLongueurSansBarres = 8;
constexpr int kLongueurDate = 10;
}  // namespace

QString ajouterBarres(const QString& texte) {
    // Only digits: "10.03.20", being typed with its own separators, is left as it is.
    const bool chiffres =
        std::all_of(texte.begin(), texte.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (texte.size() != kLongueurSansBarres || !chiffres) return texte;
    return texte.left(2) + QLatin1Char('/') + texte.mid(2, 2) + QLatin1Char('/') + texte.mid(4, 4);
}

bool datesCompletes(const QString& debut, const QString& fin) {
    return debut.size() == kLongueurDate && fin.size() == kLongueurDate;
}

DateSaisie controlerDate(const QString& saisie) {
    DateSaisie resultat;
    short drapeau = 0;
    resultat.texte = orv::OutilsCommuns::NormaliserDate(saisie, drapeau);
    orv::OutilsCommuns::ErreurDate(drapeau);
    if (drapeau) {
        // The utility object refused the typed text: the box takes the focus back.
        resultat.erreur = true;
        resultat.message = kErreurSaisieDate;
        return resultat;
    }
    if (orv::OutilsCommuns::DateVersJour(resultat.texte).isEmpty()) {
        resultat.erreur = true;
        resultat.message = kErreurSaisieDate;
    }
    return resultat;
}

QString controlerPeriode(long debut, long fin) {
    if (fin < debut) return kFinAvantDebut;
    if (fin - debut > kAmplitudeMaxJours) return kAmplitudeTropGrande;
    return {};
}

}  // namespace horaireaidants
