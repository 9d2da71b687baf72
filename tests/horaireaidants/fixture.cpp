#include "fixture.h"

#include "client/marks.h"

namespace horaireaidants::test {

BaseEmploi::BaseEmploi() : TempDatabase({"CIVILAIDANT", "CIVILAIDE", "TEMPO", "PLANNING"}) {
    dictionary("PLANNING", QStringLiteral("JourPlanning"), 1, QString(), QStringLiteral("5R"));
    dictionary("PLANNING", QStringLiteral("DebutPlanning"), 2, QString(), QStringLiteral("4R"));
    dictionary("PLANNING", QStringLiteral("AidantPlanning"), 4);
    dictionary("PLANNING", QStringLiteral("AidePlanning"), 5);
}

namespace {
orv::DynArray fiche(const BaseEmploi::Personne& p, int telephone, int secteur) {
    return orv::test::sparseRecord({{2, p.nom},
                                    {3, p.prenom},
                                    {6, QStringLiteral("12")},
                                    {8, p.rue},
                                    {9, p.complement},
                                    {10, QStringLiteral("38000")},
                                    {11, QStringLiteral("Grenoble")},
                                    {telephone, p.tel},
                                    {20, p.entite},
                                    {secteur, p.secteur}});
}
}  // namespace

void BaseEmploi::aidant(const Personne& p) { write("CIVILAIDANT", p.code, fiche(p, 12, 31)); }
void BaseEmploi::aide(const Personne& p) { write("CIVILAIDE", p.code, fiche(p, 14, 23)); }

void BaseEmploi::visite(const Visite& v) {
    orv::DynArray r =
        orv::test::sparseRecord({{1, QString::number(v.jour)},
                                 {2, v.debut},
                                 {3, v.fin},
                                 {4, v.aidant},
                                 {5, v.aide},
                                 {6, v.activite},
                                 {8, v.cle ? QStringLiteral("1") : QString()},
                                 {9, v.remplacement ? QStringLiteral("1") : QString()}});
    for (int k = 0; k < v.taches.size(); ++k) r.replace(7, k + 1, 0, orv::fromQString(v.taches[k]));
    write("PLANNING",
          v.aidant + QLatin1Char('*') + QString::number(v.jour) + QLatin1Char('*') + v.debut, r);
}

dba::Record BaseEmploi::appeler(const QString& texte, const QString& user) {
    dba::Record requete;
    requete.put(1, QStringLiteral("P"));
    requete.put(2, QStringLiteral("EDITEMPLOITEMPS |") + texte);
    int statut = 0;
    dba::Record resultat;
    db().RunCommand(requete.get(), QString(), statut, resultat);
    return db().OpenFile(QStringLiteral("TEMPO"))->Read(QStringLiteral("EMPLOITPS") + user);
}

}  // namespace horaireaidants::test
