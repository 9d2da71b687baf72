#include "menu/frm_premierdemarrage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSaveFile>

#include "platform/busy.h"
#include "platform/messages.h"
#include "platform/private_files.h"
#include "schema/attributes.h"
#include "ui_frm_premierdemarrage.h"

namespace menu {

namespace {

// The server line of an INI file for a database on this computer.
const QString kServeurLocal = QStringLiteral("localhost");
const QString kAdministrateur = QStringLiteral("ADMINISTRATEUR");

// Record "999" of COMPTEUR for a new database: the installation uses telegestion.
QByteArray compteurTelegestion() {
    QJsonArray attributs;
    for (int i = 1; i < orv::attr::compteur::Telegestion; ++i) attributs.append(QString());
    attributs.append(QStringLiteral("1"));
    return QJsonDocument(attributs).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

Frm_PremierDemarrage::Frm_PremierDemarrage(const QString& ini, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Frm_PremierDemarrage>()), ini_(ini) {
    ui_->setupUi(this);
    ui_->Txt_Fichier->setText(fichierPropose());
    ui_->Txt_Serveur->setText(kServeurLocal);
    connect(ui_->Opt_BaseNeuve, &QRadioButton::clicked, this,
            &Frm_PremierDemarrage::Opt_BaseNeuve_Click);
    connect(ui_->Opt_Serveur, &QRadioButton::clicked, this,
            &Frm_PremierDemarrage::Opt_Serveur_Click);
    connect(ui_->Chk_Demo, &QCheckBox::clicked, this, &Frm_PremierDemarrage::Chk_Demo_Click);
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, &Frm_PremierDemarrage::Cmd_OK_Click);
    connect(ui_->Cmd_Quitter, &QPushButton::clicked, this,
            &Frm_PremierDemarrage::Cmd_Quitter_Click);
    ActualiserZones();
}

Frm_PremierDemarrage::~Frm_PremierDemarrage() = default;

QString Frm_PremierDemarrage::fichierPropose() {
    QString donnees = qEnvironmentVariable("XDG_DATA_HOME");
    if (donnees.isEmpty()) donnees = QDir::homePath() + QStringLiteral("/.local/share");
    return donnees + QStringLiteral("/orvanelle/Orvanelle.orvdb");
}

QString Frm_PremierDemarrage::fichierBase() const {
    const QString saisi = ui_->Txt_Fichier->text().trimmed();
    return saisi.isEmpty() ? QString() : QDir::cleanPath(saisi);
}

void Frm_PremierDemarrage::Opt_BaseNeuve_Click() { ActualiserZones(); }
void Frm_PremierDemarrage::Opt_Serveur_Click() { ActualiserZones(); }
void Frm_PremierDemarrage::Chk_Demo_Click() { ActualiserZones(); }

// Only the entries of the chosen way are open; the demonstration database brings its own users.
void Frm_PremierDemarrage::ActualiserZones() {
    const bool locale = ui_->Opt_BaseNeuve->isChecked();
    ui_->Fra_BaseNeuve->setEnabled(locale);
    ui_->Fra_Serveur->setEnabled(!locale);
    const bool motPasse = locale && !ui_->Chk_Demo->isChecked();
    const std::initializer_list<QWidget*> zones{ui_->Etq_MotPasse, ui_->Txt_MotPasse,
                                                ui_->Etq_Confirmation, ui_->Txt_Confirmation};
    for (QWidget* w : zones) w->setEnabled(motPasse);
}

void Frm_PremierDemarrage::Cmd_OK_Click() {
    const QStringList lignes =
        ui_->Opt_BaseNeuve->isChecked() ? lignesBaseNeuve() : lignesServeur();
    if (lignes.isEmpty()) return;
    if (!ecrireIni(lignes)) {
        // Nothing half-done: a database created for this file goes with it.
        if (ui_->Opt_BaseNeuve->isChecked()) QFile::remove(fichierBase());
        return;
    }
    accept();
}

void Frm_PremierDemarrage::Cmd_Quitter_Click() { reject(); }

QStringList Frm_PremierDemarrage::lignesServeur() {
    const QList<std::pair<QLineEdit*, QString>> zones{
        {ui_->Txt_Serveur, QStringLiteral("le nom ou l'adresse IP du serveur")},
        {ui_->Txt_Libelle, QStringLiteral("le libellé de la base")},
        {ui_->Txt_Chemin, QStringLiteral("le chemin du compte")}};
    for (const auto& [zone, nom] : zones) {
        if (zone->text().trimmed().isEmpty()) {
            orv::MsgBox(kZoneVide.arg(nom), orv::MsgExclamation);
            zone->setFocus();
            return {};
        }
    }
    // A label holding "=" would be cut there when the file is read back.
    const QString libelle = ui_->Txt_Libelle->text().trimmed().remove(QLatin1Char('='));
    return {QStringLiteral("SERVEUR=") + ui_->Txt_Serveur->text().trimmed(),
            libelle + QLatin1Char('=') + ui_->Txt_Chemin->text().trimmed()};
}

QStringList Frm_PremierDemarrage::lignesBaseNeuve() {
    const QString base = fichierBase();
    if (base.isEmpty()) {
        orv::MsgBox(kZoneVide.arg(QStringLiteral("le fichier de la base")), orv::MsgExclamation);
        ui_->Txt_Fichier->setFocus();
        return {};
    }
    if (QFileInfo::exists(base)) {
        orv::MsgBox(kFichierExistant.arg(base), orv::MsgExclamation);
        ui_->Txt_Fichier->setFocus();
        return {};
    }
    if (!ui_->Chk_Demo->isChecked()) {
        if (ui_->Txt_MotPasse->text().isEmpty()) {
            orv::MsgBox(kMotPasseVide, orv::MsgExclamation);
            ui_->Txt_MotPasse->setFocus();
            return {};
        }
        if (ui_->Txt_MotPasse->text() != ui_->Txt_Confirmation->text()) {
            orv::MsgBox(kMotsPasseDifferents, orv::MsgExclamation);
            ui_->Txt_Confirmation->clear();
            ui_->Txt_Confirmation->setFocus();
            return {};
        }
    }
    if (!creerBase(base)) return {};
    return {QStringLiteral("SERVEUR=") + kServeurLocal, kLibelleLocal + QLatin1Char('=') + base};
}

// The new database is whole or absent: a failed step removes the file.
bool Frm_PremierDemarrage::creerBase(const QString& base) {
    const orv::BusyScope occupe(this);
    if (!orv::makePrivateFolder(QFileInfo(base).absolutePath())) {
        orv::MsgBox(QStringLiteral("Le dossier de « %1 » ne peut pas être créé.").arg(base),
                    orv::MsgCritical);
        return false;
    }
    bool cree;
    if (ui_->Chk_Demo->isChecked()) {
        cree = orvanelleDb(base, {QStringLiteral("demo")});
    } else {
        cree =
            orvanelleDb(base, {QStringLiteral("init")}) &&
            orvanelleDb(base, {QStringLiteral("user"), QStringLiteral("add"), kAdministrateur},
                        ui_->Txt_MotPasse->text().toUtf8() + '\n') &&
            orvanelleDb(base, {QStringLiteral("rights"), QStringLiteral("grant"), kAdministrateur,
                               QStringLiteral("*"), QStringLiteral("2")}) &&
            orvanelleDb(
                base, {QStringLiteral("write"), QStringLiteral("COMPTEUR"), QStringLiteral("999")},
                compteurTelegestion());
    }
    if (!cree) QFile::remove(base);
    return cree;
}

bool Frm_PremierDemarrage::orvanelleDb(const QString& base, const QStringList& arguments,
                                       const QByteArray& entree) {
    const QString programme =
        QCoreApplication::applicationDirPath() + QStringLiteral("/orvanelle-db");
    QProcess outil;
    outil.start(programme, QStringList{QStringLiteral("--db"), base} + arguments);
    if (outil.waitForStarted()) {
        outil.write(entree);
        outil.closeWriteChannel();
        outil.waitForFinished(-1);
    }
    if (outil.exitStatus() == QProcess::NormalExit && outil.exitCode() == 0 &&
        outil.error() == QProcess::UnknownError)
        return true;
    QString raison = QString::fromUtf8(outil.readAllStandardError()).trimmed();
    if (raison.isEmpty()) raison = outil.errorString();
    orv::MsgBox(QStringLiteral("La base de données n'a pas pu être créée : %1").arg(raison),
                orv::MsgCritical);
    return false;
}

bool Frm_PremierDemarrage::ecrireIni(const QStringList& lignes) {
    QSaveFile fichier(ini_);
    const bool ecrit =
        QDir().mkpath(QFileInfo(ini_).absolutePath()) &&
        fichier.open(QIODevice::WriteOnly | QIODevice::Text) &&
        fichier.write((lignes.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) >= 0 &&
        fichier.commit();
    if (!ecrit)
        orv::MsgBox(QStringLiteral("Le fichier « %1 » ne peut pas être écrit.").arg(ini_),
                    orv::MsgCritical);
    return ecrit;
}

}  // namespace menu
