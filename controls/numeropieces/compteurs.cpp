#include "controls/numeropieces/compteurs.h"

#include <QtMath>

#include "client/outils_communs.h"

namespace numeropieces {

const std::array<Mode, kNombreModes>& modes() {
    static const std::array<Mode, kNombreModes> table{{
        {QStringLiteral("P"), QStringLiteral("Prest"), QStringLiteral("P"),
         QStringLiteral("prestataires"), 1, 2, 7, 11, 14, 17},
        {QStringLiteral("M"), QStringLiteral("Mandat"), QStringLiteral("M"),
         QStringLiteral("mandataires"), 3, 4, 0, 12, 15, 18},
        {QStringLiteral("I"), QStringLiteral("Inter"), QStringLiteral("I"),
         QStringLiteral("intermédiaires"), 5, 6, 8, 13, 16, 19},
    }};
    return table;
}

QString messagePlancherVide(const Mode& mode) {
    return QStringLiteral(
               "Vous devez renseigner un montant pour le plancher d'édition des factures %1.")
        .arg(mode.pluriel);
}

QString Cadrage(const QString& texte, int longueur, const QString& caractere) {
    if (texte.size() > longueur) return texte.left(longueur);
    const QChar remplissage = caractere.isEmpty() ? QLatin1Char(' ') : caractere.at(0);
    return QString(longueur - texte.size(), remplissage) + texte;
}

namespace {

bool chiffres(const QString& texte) {
    if (texte.isEmpty()) return false;
    for (const QChar c : texte)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

QString texteNombre(const QString& stocke) {
    if (!chiffres(stocke)) return stocke;
    qsizetype debut = 0;
    while (debut < stocke.size() - 1 && stocke.at(debut) == QLatin1Char('0')) ++debut;
    return stocke.mid(debut);
}

qlonglong valeurNombre(const QString& texte) {
    bool ok = false;
    const qlonglong v = texte.trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

bool montantLisible(const QString& texte) {
    bool ok = false;
    orv::OutilsCommuns::LireMontant(texte, &ok);
    return ok;
}

qlonglong montantCentimes(const QString& texte) {
    return qRound64(orv::OutilsCommuns::LireMontant(texte) * 100.0);
}

QString montantAffiche(const QString& centimes) {
    if (centimes.isEmpty()) return {};
    bool ok = false;
    const qlonglong c = centimes.trimmed().toLongLong(&ok);
    if (!ok) return {};
    const QString euros = QString::number(static_cast<double>(c) / 100.0, 'f', 2);
    return orv::OutilsCommuns::FormaterMontant(euros, 4, 2, 0);
}

QString numeroStocke(const QString& texte) {
    return texte.isEmpty() ? kNumeroVide : Cadrage(texte, kLongueurNumero, QStringLiteral("0"));
}

QString numEtatFactStocke(const QString& texte) {
    return texte.isEmpty() ? kNumEtatFactVide
                           : Cadrage(texte, kLongueurNumero, QStringLiteral("0"));
}

Saisie saisieDepuis(const dba::Record& r, bool federation) {
    Saisie s;
    for (int i = 0; i < kNombreModes; ++i) {
        const Mode& m = modes()[i];
        Saisie::ParMode& p = s.modes[i];
        p.aide = texteNombre(r.get(m.attrAide));
        p.orga = texteNombre(r.get(m.attrOrga));
        if (m.attrPlancherFact) p.plancherFact = montantAffiche(r.get(m.attrPlancherFact));
        const QString nom = r.get(m.attrNomIntervenants);
        p.nomIntervenants = nom.isEmpty() || nom == QLatin1String("1");
        const QString plancher = r.get(m.attrPlancherEdition);
        p.plancherEdition = !plancher.isEmpty();
        p.montantEdition = montantAffiche(plancher);
        p.factNegatives = !r.get(m.attrFactNegatives).isEmpty();
    }
    const QString ssiad = r.get(kAttrNumSsiad);
    s.numSsiad = ssiad.isEmpty() ? QStringLiteral("0") : texteNombre(ssiad);
    if (federation) {
        const QString etat = r.get(kAttrNumEtatFact);
        s.numEtatFact = etat.isEmpty() ? QStringLiteral("0") : texteNombre(etat);
    }
    return s;
}

dba::Record enregistrementAbsent() {
    dba::Record r;
    for (const Mode& m : modes()) r.put(m.attrNomIntervenants, QStringLiteral("0"));
    return r;
}

namespace {

// A billing floor: the amount in cents, empty when it is zero.
QString plancherFactStocke(const QString& texte) {
    const qlonglong c = montantCentimes(texte);
    return c == 0 ? QString() : QString::number(c);
}

}  // namespace

void ecrireSaisie(const Saisie& s, dba::Record& r) {
    for (int i = 0; i < kNombreModes; ++i) {
        const Mode& m = modes()[i];
        const Saisie::ParMode& p = s.modes[i];
        r.put(m.attrAide, numeroStocke(p.aide));
        r.put(m.attrOrga, numeroStocke(p.orga));
        r.put(m.attrNomIntervenants, p.nomIntervenants ? QStringLiteral("1") : QStringLiteral("0"));
        r.put(m.attrPlancherEdition,
              p.plancherEdition ? QString::number(montantCentimes(p.montantEdition)) : QString());
        r.put(m.attrFactNegatives, p.factNegatives ? QStringLiteral("1") : QString());
    }
    // Attributes 7 and 8 in order: Prestataire, then Intermédiaire.
    for (int i = 0; i < kNombreModes; ++i) {
        const Mode& m = modes()[i];
        if (m.attrPlancherFact)
            r.put(m.attrPlancherFact, plancherFactStocke(s.modes[i].plancherFact));
    }
    r.put(kAttrNumSsiad, numeroStocke(s.numSsiad));
    r.put(kAttrNumEtatFact, numEtatFactStocke(s.numEtatFact));
}

namespace {

// Counters compare as the texts the screen showed: a typed "0125" differs from a stored
// "0000000125" (shown "125"), since it would be stored as typed.
bool numeroModifie(const QString& texte, const QString& stocke) {
    return texte != texteNombre(stocke);
}

bool plancherEditionModifie(const Saisie::ParMode& p, const QString& stocke) {
    if (p.montantEdition.isEmpty()) return !stocke.isEmpty();
    return stocke.isEmpty() || valeurNombre(stocke) != montantCentimes(p.montantEdition);
}

bool factNegativesModifie(bool coche, const QString& stocke) {
    return (coche && stocke.isEmpty()) || (!coche && stocke == QLatin1String("1"));
}

bool nomIntervenantsModifie(bool coche, const QString& stocke) {
    const bool stockeCoche = stocke.isEmpty() || stocke == QLatin1String("1");
    return coche != stockeCoche;
}

bool modeModifie(const Mode& m, const Saisie::ParMode& p, const dba::Record& r) {
    return numeroModifie(p.aide, r.get(m.attrAide)) || numeroModifie(p.orga, r.get(m.attrOrga)) ||
           (m.attrPlancherFact &&
            montantCentimes(p.plancherFact) != valeurNombre(r.get(m.attrPlancherFact))) ||
           nomIntervenantsModifie(p.nomIntervenants, r.get(m.attrNomIntervenants)) ||
           plancherEditionModifie(p, r.get(m.attrPlancherEdition)) ||
           factNegativesModifie(p.factNegatives, r.get(m.attrFactNegatives));
}

}  // namespace

bool saisieModifiee(const Saisie& s, const dba::Record& r) {
    for (int i = 0; i < kNombreModes; ++i)
        if (modeModifie(modes()[i], s.modes[i], r)) return true;
    // The federation statement number compares as a number: 0125 is the stored 0000000125.
    return numeroModifie(s.numSsiad, r.get(kAttrNumSsiad)) ||
           valeurNombre(s.numEtatFact) != valeurNombre(r.get(kAttrNumEtatFact));
}

bool plancherEditionTropEleve(const QString& texte) {
    return montantLisible(texte) && montantCentimes(texte) > qRound64(kPlancherEditionMax * 100);
}

std::optional<Refus> controlerSaisie(const Saisie& s) {
    for (int i = 0; i < kNombreModes; ++i) {
        const Saisie::ParMode& p = s.modes[i];
        if (!p.plancherEdition) continue;
        // A text that is no amount at all (a lone ",") counts as no amount.
        if (!montantLisible(p.montantEdition))
            return Refus{i, messagePlancherVide(modes()[i]), false};
        if (plancherEditionTropEleve(p.montantEdition))
            return Refus{i, kMessagePlancherMaxValidation, true};
    }
    return std::nullopt;
}

}  // namespace numeropieces
