#include "fixture.h"

#include <algorithm>

namespace declartrim::test {

BaseReleve::BaseReleve(std::initializer_list<const char*> absents) {
    for (const char* f :
         {"ASSOCIATION", "CENTREURSSAF", "CIVILAIDE", "ELTSPARTEMP", "DETAILCHGPARTEMP"})
        if (std::none_of(absents.begin(), absents.end(),
                         [&](const char* a) { return qstrcmp(a, f) == 0; }))
            engine->createFile(f);
    dictionary("DETAILCHGPARTEMP", QStringLiteral("CodCtrUrssafDetailChgPartemp"), 2);
    dictionary("DETAILCHGPARTEMP", QStringLiteral("NomAideDetailChgPartemp"), 3,
               QStringLiteral("TCIVILAIDE;X;;2"));
    dictionary("DETAILCHGPARTEMP", QStringLiteral("PrenomAideDetailChgPartemp"), 3,
               QStringLiteral("TCIVILAIDE;X;;3"));
}

void BaseReleve::aide(const QString& code, const QString& nom, const QString& prenom,
                      const QString& affiliation) {
    ecrire("CIVILAIDE", code, {QString(), nom, prenom});
    ecrire("ELTSPARTEMP", code, {QString(), affiliation});
}

void BaseReleve::declaration(const QString& code, std::initializer_list<QString> montants6a13,
                             const QString& regul, const QString& ajout17, const QString& entite,
                             const QString& centre, const QString& trimestre) {
    orv::DynArray r =
        orv::test::sparseRecord({{1, entite}, {2, centre}, {3, code}, {5, regul}, {17, ajout17}});
    int a = 6;
    for (const QString& m : montants6a13) r.replace(a++, m.toStdString());
    write("DETAILCHGPARTEMP", code + entite + centre + trimestre, r);
}

void BaseReleve::declarations(int n) {
    for (int i = 1; i <= n; ++i) {
        const QString code = QString::number(10000 + i);
        aide(code, QStringLiteral("NOM%1").arg(i, 5, 10, QLatin1Char('0')),
             QStringLiteral("Prénom"), QStringLiteral("1234567890%1").arg(i));
        declaration(code, {QString::number(i), "10", "1", "2", "3", "4", "5", "6"}, "1");
    }
}

}  // namespace declartrim::test
