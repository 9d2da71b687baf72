#include "controls/soldeconges/chiffres_solde.h"

#include "client/outils_communs.h"

namespace soldeconges {

namespace {

Nombre attribut(const dba::Record& r, int a, int v = 0) { return Nombre::lireOuZero(r.get(a, v)); }

}  // namespace

SommesMensuelles sommesMensuelles(const dba::Record& contrat) {
    SommesMensuelles s;
    const int n = contrat.array().count(162);
    for (int v = 1; v <= n; ++v) {
        s.s162 += attribut(contrat, 162, v);
        s.s160 += attribut(contrat, 160, v);
    }
    return s;
}

ChiffresSolde chiffresSolde(const dba::Record& c) {
    const SommesMensuelles s = sommesMensuelles(c);
    ChiffresSolde f;
    f.cpAcquis = attribut(c, 38).partieEntiere().centiemes() +
                 (attribut(c, 40) + s.s160.partieEntiere().centiemes()).partieEntiere();
    f.cdPrev = attribut(c, 109).centiemes();
    f.dlDecompte = attribut(c, 110).centiemes();
    f.caAcquis = attribut(c, 47).centiemes();
    f.cpDecompte =
        (attribut(c, 39).partieEntiere() + attribut(c, 41).partieEntiere() + s.s162.partieEntiere())
            .centiemes();
    f.caDecompte = attribut(c, 48).partieEntiere().centiemes();
    return f;
}

std::int64_t cpAcquisN1(const dba::Record& contrat, bool joursOuvres) {
    // D = n / den exactly, with n in millionths; D + 0.5 = (2n + den) / (2 den).
    const std::int64_t n = (attribut(contrat, 44) - attribut(contrat, 83)).unites();
    const std::int64_t den = Nombre::kEchelle * 100;
    if (joursOuvres) return arrondiPair(2 * n * 5 + den * 6, 2 * den * 6);
    return arrondiPair(2 * n + den, 2 * den);
}

QString dateDecompteN0(const QString& periodePaie) {
    return orv::OutilsCommuns::DateVersJour(QStringLiteral("01/") + periodePaie.right(2) +
                                            QLatin1Char('/') + periodePaie.left(4));
}

}  // namespace soldeconges
