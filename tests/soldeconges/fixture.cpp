#include "fixture.h"

#include "client/outils_communs.h"

namespace soldeconges::test {

namespace {

// The dictionary items of ABSENCESAIDANT that the selection uses, as the schema declares them.
void dictionnaire(orv::Database& db, const char* item, const char* conversion, const char* format) {
    orv::DynArray r;
    for (const auto& [a, v] : {std::pair<int, const char*>{1, "D"},
                               {2, "0"},
                               {3, conversion},
                               {4, item},
                               {5, format},
                               {6, "S"}})
        r.replace(a, v);
    db.write("DICT ABSENCESAIDANT", item, r);
}

}  // namespace

QString j(const QString& date) { return orv::OutilsCommuns::DateVersJour(date); }

BaseConges::BaseConges() {
    engine = orv::Database::openEmbedded(dir.filePath("conges.orvdb").toStdString());
    for (const char* f : {"ABSENCESAIDANT", "CONTRAT", "CONVENTIONCOL", "PERIODESPAIE"})
        engine->createFile(f);
    dictionnaire(*engine, "CodeAidant", "T1,5", "5L");
    dictionnaire(*engine, "NumMotifAidant", "T6,2", "2R");
    dictionnaire(*engine, "DebAbsAidant", "T8,5", "5R");
    auto session = std::make_shared<orv::Session>(engine, "TEST");
    database_ = std::make_unique<dba::Database>(session, QStringLiteral("test"));
    periodePaie(QStringLiteral("200605"));
    convention(false);
    ecrire("CONTRAT", QStringLiteral("00101*01"),
           {{1, QStringLiteral("01")}, {2, QStringLiteral("00101")}, {7, j("01/09/2003")}});
}

void BaseConges::ecrire(const char* fichier, const QString& cle, Attributs attributs) {
    dba::Record r;
    for (const auto& [a, valeur] : attributs) {
        const QStringList valeurs = valeur.split(QLatin1Char('|'));
        for (int v = 0; v < valeurs.size(); ++v)
            r.put(a, valeurs.size() > 1 ? v + 1 : 0, valeurs[v]);
    }
    engine->write(fichier, cle.toStdString(), r.array());
}

void BaseConges::supprimer(const char* fichier, const QString& cle) {
    engine->remove(fichier, cle.toStdString());
}

void BaseConges::convention(bool joursOuvres, bool anneeCivile, bool ancienneteAuDebut) {
    const auto un = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    ecrire("CONVENTIONCOL", QStringLiteral("01"),
           {{1, QStringLiteral("Convention")},
            {2, un(joursOuvres)},
            {13, un(ancienneteAuDebut)},
            {28, un(anneeCivile)}});
}

QString BaseConges::absence(const QString& motif, const QString& debut, const QString& fin,
                            QList<QStringList> parts) {
    const QString cle = QStringLiteral("00101") + motif + j(debut);
    QStringList o, d, f, c;
    for (const QStringList& p : parts) {
        o << QStringLiteral("O");
        c << p[0];
        d << j(p[1]);
        f << j(p[2]);
    }
    ecrire("ABSENCESAIDANT", cle,
           {{1, j(debut)},
            {2, j(fin)},
            {21, o.join('|')},
            {22, d.join('|')},
            {24, f.join('|')},
            {26, c.join('|')}});
    return cle;
}

void BaseConges::routineSimulee(QMap<QString, QString> reponses) {
    engine->registerRoutine(
        "CALCNBJOURABSENCE", [this, reponses](orv::Session&, std::vector<std::string>& args) {
            const dba::Record recu{orv::DynArray(args[0])};
            recus << recu;
            args[1] = reponses.value(recu.get(1), QStringLiteral("0")).toStdString();
        });
}

void BaseConges::charger(Mod_Variables& v, const QString& contrat) {
    Ouvrir_Fichiers(db(), v);
    v.contrat = v.contrats->Read(contrat);
    v.convention = v.conventions->Read(v.contrat.get(1));
}

}  // namespace soldeconges::test
