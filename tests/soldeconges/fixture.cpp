#include "fixture.h"

#include "client/outils_communs.h"

namespace soldeconges::test {

QString j(const QString& date) { return orv::OutilsCommuns::DateVersJour(date); }

BaseConges::BaseConges()
    : TempDatabase({"ABSENCESAIDANT", "CONTRAT", "CONVENTIONCOL", "PERIODESPAIE"}) {
    // The dictionary items of the selection, as the schema declares them.
    dictionary("ABSENCESAIDANT", QStringLiteral("CodeAidant"), 0, QStringLiteral("T1,5"), "5L");
    dictionary("ABSENCESAIDANT", QStringLiteral("NumMotifAidant"), 0, QStringLiteral("T6,2"), "2R");
    dictionary("ABSENCESAIDANT", QStringLiteral("DebAbsAidant"), 0, QStringLiteral("T8,5"), "5R");
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
    write(fichier, cle, r.array());
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
