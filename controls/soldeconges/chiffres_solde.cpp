#include "controls/soldeconges/chiffres_solde.h"

#include "client/outils_communs.h"
#include "schema/attributes.h"

namespace soldeconges {

namespace {

namespace ca = orv::attr::contrat;

Nombre attribut(const dba::Record& r, int a, int v = 0) { return Nombre::lireOuZero(r.get(a, v)); }

}  // namespace

SommesMensuelles sommesMensuelles(const dba::Record& contrat) {
    SommesMensuelles s;
    const int n = contrat.array().count(ca::CPDecompteMois);
    for (int v = 1; v <= n; ++v) {
        s.s162 += attribut(contrat, ca::CPDecompteMois, v);
        s.s160 += attribut(contrat, ca::CPAcquisMois, v);
    }
    return s;
}

ChiffresSolde chiffresSolde(const dba::Record& c) {
    const SommesMensuelles s = sommesMensuelles(c);
    ChiffresSolde f;
    f.cpAcquis =
        attribut(c, ca::CPAcquis).partieEntiere().centiemes() +
        (attribut(c, ca::CPAcquisComplement) + s.s160.partieEntiere().centiemes()).partieEntiere();
    f.cdPrev = attribut(c, ca::DLAcquis).centiemes();
    f.dlDecompte = attribut(c, ca::DLDecompte).centiemes();
    f.caAcquis = attribut(c, ca::CAAcquis).centiemes();
    f.cpDecompte = (attribut(c, ca::CPDecompte).partieEntiere() +
                    attribut(c, ca::CPDecompteComplement).partieEntiere() + s.s162.partieEntiere())
                       .centiemes();
    f.caDecompte = attribut(c, ca::CADecompte).partieEntiere().centiemes();
    return f;
}

std::int64_t cpAcquisN1(const dba::Record& contrat, bool joursOuvres) {
    // D = n / den exactly, with n in millionths; D + 0.5 = (2n + den) / (2 den).
    const std::int64_t n =
        (attribut(contrat, ca::CPAcquisN1) - attribut(contrat, ca::CPPrisN1)).unites();
    const std::int64_t den = Nombre::kEchelle * 100;
    if (joursOuvres) return arrondiPair(2 * n * 5 + den * 6, 2 * den * 6);
    return arrondiPair(2 * n + den, 2 * den);
}

QString dateDecompteN0(const QString& periodePaie) {
    return orv::OutilsCommuns::DateVersJour(QStringLiteral("01/") + periodePaie.right(2) +
                                            QLatin1Char('/') + periodePaie.left(4));
}

}  // namespace soldeconges
