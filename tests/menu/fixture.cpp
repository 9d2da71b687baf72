#include "fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "client/marks.h"
#include "menu/ecran_presentation.h"
#include "menu/mdi_vesperon.h"
#include "rights/rights_store.h"

namespace essai {

BaseEssai::BaseEssai() {
    chemin = dossier.filePath(QStringLiteral("cadrius.orvdb"));
    db = orv::Database::openEmbedded(chemin.toStdString());
    for (const char* f :
         {"COMPTEUR", "TLGPARAM", "PERIODESPAIE", "VESPERONRAPPORTS", "ASSOCIATION"})
        db->createFile(f);
    orv::rights::ensureFiles(*db);
    ecrire("DICT VESPERONRAPPORTS", "Date", {"D", "0", "T1,10", "Date", "10L", "S"});
    ecrire("COMPTEUR", "999", {"COMPTEUR GÉNÉRAL"});
    orv::DynArray compteur(db->read("COMPTEUR", "999")->text());
    compteur.replace(33, "1");
    db->write("COMPTEUR", "999", compteur);
    ecrire("TLGPARAM", "HEURELIMITEVERIF", {"", "", "O"});
    ecrire("PERIODESPAIE", "1", {"200603"});
    orv::DynArray association;
    association.replace(1, "ADMR Vallée");
    association.replace(39, "17");
    db->write("ASSOCIATION", "001", association);
    db->setUserPassword("ADMINISTRATEUR", "admin");
    db->setUserPassword("DUPOND", "mot,de,passe");
    db->setUserPassword("MARTIN", "martin");
}

void BaseEssai::ecrire(const std::string& fichier, const std::string& cle,
                       const std::vector<std::string>& attributs) {
    std::string texte;
    for (size_t i = 0; i < attributs.size(); ++i) {
        if (i) texte += orv::kAttributeMark;
        texte += attributs[i];
    }
    db->write(fichier, cle, orv::DynArray(texte));
}

void BaseEssai::supprimer(const std::string& fichier, const std::string& cle) {
    db->remove(fichier, cle);
}

void BaseEssai::droit(const QString& utilisateur, const QString& cle, int niveau) {
    orv::rights::grant(*db, orv::rights::Holder::User, utilisateur, cle, niveau);
}

void BaseEssai::ini(const QStringList& lignes, bool windows1252) {
    cheminIni = dossier.filePath(QStringLiteral("Orvanelle.ini"));
    QFile f(cheminIni);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QString texte = lignes.join(QLatin1Char('\n')) + QLatin1Char('\n');
    f.write(windows1252 ? texte.toLatin1() : texte.toUtf8());
    f.close();
    qputenv("ORVANELLE_INI", cheminIni.toLocal8Bit());
}

Pilote::Pilote(menu::Programme& programme) : programme_(programme), minuterie_(new QTimer) {
    minuterie_->setInterval(5);
    QObject::connect(minuterie_, &QTimer::timeout, [this] { verifier(); });
    minuterie_->start();
}

Pilote::~Pilote() { delete minuterie_; }

void Pilote::puis(const QString& fenetre, Action action) {
    etapes_.append({fenetre, std::move(action)});
}

void Pilote::verifier() {
    QWidget* modale = QApplication::activeModalWidget();
    if (!modale) {
        derniere_ = nullptr;
        return;
    }
    if (modale == derniere_) return;  // the previous step left it open on purpose
    derniere_ = modale;
    vues_ << modale->objectName();
    if (!etapes_.isEmpty() && etapes_.first().first == modale->objectName()) {
        auto etape = etapes_.takeFirst();
        etape.second(modale);
        return;
    }
    programme_.Terminer(99);
    modale->close();
    if (auto* d = qobject_cast<QDialog*>(modale)) d->done(0);
}

void saisir(QWidget* fenetre, const QString& nom, const QString& texte) {
    auto* boite = fenetre->findChild<QLineEdit*>(nom);
    if (!boite) throw std::logic_error("pas de zone " + nom.toStdString());
    boite->setText(texte);
}

void cliquer(QWidget* fenetre, const QString& nom) {
    auto* bouton = fenetre->findChild<QAbstractButton*>(nom);
    if (!bouton) throw std::logic_error("pas de bouton " + nom.toStdString());
    bouton->click();
}

void ouvrirMenu(menu::Programme& programme) {
    menu::EcranPresentation ecran(programme);
    ecran.Timer1_Timer();
    ecran.Timer1_Timer();
}

void connecter(menu::Programme& programme, BaseEssai& base, const QString& utilisateur,
               const QString& motPasse) {
    programme.SessionBase = std::make_unique<uni::Session>();
    programme.libelles = {QStringLiteral("Essai")};
    programme.CheminsBases = {base.chemin};
    programme.ServeurBase = QStringLiteral("localhost");
    programme.NomBase = QStringLiteral("Essai");
    programme.NomUtilisateur = utilisateur.toUpper();
    programme.MotPasse = motPasse;
    uni::Session& s = *programme.SessionBase;
    s.setAccountPath(base.chemin);
    s.setUserName(utilisateur.toUpper());
    s.setPassword(motPasse);
    s.Connect();
    ouvrirMenu(programme);
}

QStringList textes(const orv::ScriptedMessageService& messages) {
    QStringList t;
    for (const orv::ShownMessage& m : messages.shown()) t << m.text;
    return t;
}

}  // namespace essai
