#include "menu/mdi_vesperon.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>

#include "menu/chd_code.h"
#include "menu/chd_module.h"
#include "menu/chd_rapport.h"
#include "menu/fichiers_programme.h"
#include "menu/frm_apropos.h"
#include "menu/lanceur.h"
#include "menu/mod_vesperon.h"
#include "platform/fenetres.h"
#include "platform/messages.h"
#include "ui_mdi_vesperon.h"

namespace menu {

namespace {

const QString kPrefixe = QStringLiteral("Mnu_");
const QString kAdministrateur = QStringLiteral("ADMINISTRATEUR");

void ajouterEntrees(const QList<QAction*>& actions, QList<Mdi_Vesperon::EntreeMenu>& entrees) {
    for (QAction* action : actions) {
        if (QMenu* sousMenu = action->menu()) {
            entrees.append({sousMenu->objectName(), action});
            ajouterEntrees(sousMenu->actions(), entrees);
        } else if (!action->isSeparator()) {
            entrees.append({action->objectName(), action});
        }
    }
}

}  // namespace

Mdi_Vesperon::Mdi_Vesperon(Programme& programme, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::Mdi_Vesperon>()), programme_(programme) {
    ui_->setupUi(this);
    image1_ = QPixmap(QStringLiteral(":/menu/logo.png"));
    ui_->Mdi_Zone->viewport()->installEventFilter(this);
    connecterMenu();
    orv::memoriserGeometrie(this, QStringLiteral("MenuCadrius/Mdi_Vesperon"));
}

Mdi_Vesperon::~Mdi_Vesperon() = default;

QMdiArea* Mdi_Vesperon::Mdi_Zone() const { return ui_->Mdi_Zone; }

void Mdi_Vesperon::connecterMenu() {
    for (const DefinitionModule& d : DefinitionsModules()) {
        const QString nom = d.entree;
        connect(entree(nom), &QAction::triggered, this, [this, nom] { Mnu_Module_Click(nom); });
    }
    const std::pair<QAction*, void (Mdi_Vesperon::*)()> commandes[] = {
        {ui_->Mnu_CADRIUSRAPPORT, &Mdi_Vesperon::Mnu_CADRIUSRAPPORT_Click},
        {ui_->Mnu_CADRIUSCODE, &Mdi_Vesperon::Mnu_CADRIUSCODE_Click},
        {ui_->Mnu_APropos, &Mdi_Vesperon::Mnu_APropos_Click},
        {ui_->Mnu_Documentation, &Mdi_Vesperon::Mnu_Documentation_Click},
        {ui_->Mnu_Support, &Mdi_Vesperon::Mnu_Support_Click},
        {ui_->Mnu_Telemaintenance, &Mdi_Vesperon::Mnu_Telemaintenance_Click},
        {ui_->Mnu_Quitter, &Mdi_Vesperon::Mnu_Quitter_Click},
    };
    for (const auto& [action, handler] : commandes)
        connect(action, &QAction::triggered, this, handler);
}

void Mdi_Vesperon::Form_Load() {
    client_ = new dba::Client(this);
    client_->setLocator([this](const QString& libelle) { return programme_.cheminDe(libelle); });
    client_->setServer(programme_.ServeurBase);
    client_->ClientConnect(programme_.NomUtilisateur, programme_.MotPasse, QString());
    database_ = client_->OpenDatabase(QStringLiteral("ORVANELLE"), programme_.NomBase);
}

QList<Mdi_Vesperon::EntreeMenu> Mdi_Vesperon::entreesMenu() const {
    QList<EntreeMenu> entrees;
    ajouterEntrees(ui_->Mnu_Barre->actions(), entrees);
    return entrees;
}

QAction* Mdi_Vesperon::entree(const QString& nom) const {
    for (const EntreeMenu& e : entreesMenu())
        if (e.nom == nom) return e.action;
    return nullptr;
}

void Mdi_Vesperon::InitialiserDroits() {
    droits_ = new orv::Rights(this);
    droits_->setDatabase(database_);
    droits_->setUser(programme_.NomUtilisateur);
    if (programme_.NomUtilisateur == kAdministrateur) {
        for (const char* cle : {"DROITS", "DROITSGROUPE", "DROITSUTIL"}) {
            orv::RightsEntry e = droits_->entry(QLatin1String(cle));
            if (e.key().isEmpty()) e.setKey(QLatin1String(cle));
            e.setLevel(2);
            droits_->add(e);
        }
    }
    for (const EntreeMenu& e : entreesMenu()) {
        if (!e.nom.startsWith(kPrefixe)) continue;
        e.action->setEnabled(droits_->entry(e.nom.mid(kPrefixe.size())).access() !=
                             orv::AccessLevel::None);
    }
    ui_->Mnu_Quitter->setEnabled(true);
}

// ---- Child windows

void Mdi_Vesperon::FenetreOuverte(FenetreFille& fenetre) {
    if (!fenetres_.contains(&fenetre)) fenetres_.append(&fenetre);
    if (QAction* a = entree(fenetre.entree())) a->setEnabled(false);
    ui_->Mnu_Quitter->setEnabled(false);
}

void Mdi_Vesperon::FenetreFermee(FenetreFille& fenetre) {
    fenetres_.removeAll(&fenetre);
    fenetres_.removeAll(nullptr);
    if (QAction* a = entree(fenetre.entree())) a->setEnabled(true);
    if (fenetres_.isEmpty() && !aProposOuvert_) ui_->Mnu_Quitter->setEnabled(true);
}

FenetreFille* Mdi_Vesperon::fenetreOuverte(const QString& nom) const {
    for (const QPointer<FenetreFille>& f : fenetres_)
        if (f && f->objectName() == nom) return f;
    return nullptr;
}

void Mdi_Vesperon::Mnu_Module_Click(const QString& nomEntree) {
    const DefinitionModule* d = DefinitionModuleDe(nomEntree);
    if (!d || fenetreOuverte(d->fenetre)) return;
    (new Chd_Module(*this, *d))->Ouvrir();
}

void Mdi_Vesperon::demarrerFenetre(FenetreFille* fenetre, const std::function<void()>& demarrer) {
    ui_->Mdi_Zone->addSubWindow(fenetre);
    fenetre->move(0, 0);
    try {
        demarrer();
        fenetre->show();
    } catch (const std::exception& e) {
        orv::MsgBox(QStringLiteral("La fenêtre « %1 » n'a pas pu s'ouvrir : %2")
                        .arg(fenetre->windowTitle(), QString::fromUtf8(e.what())),
                    orv::MsgCritical);
        fenetre->fermerSansCondition();
    }
}

void Mdi_Vesperon::Mnu_CADRIUSRAPPORT_Click() {
    if (fenetreOuverte(QStringLiteral("Chd_CADRIUSRAPPORT"))) return;
    auto* fenetre = new Chd_CADRIUSRAPPORT(*this);
    demarrerFenetre(fenetre, [&] {
        fenetre->setTheSession(programme_.SessionBase.get());
        fenetre->setTheDatabase(database_);
        fenetre->setTheClient(client_);
        fenetre->setDroitsUtilisateur(droits_);
        fenetre->Init();
    });
}

void Mdi_Vesperon::Mnu_CADRIUSCODE_Click() {
    if (fenetreOuverte(QStringLiteral("Chd_CADRIUSCODE"))) return;
    auto* fenetre = new Chd_CADRIUSCODE(*this);
    demarrerFenetre(fenetre, [&] {
        fenetre->setTheSession(programme_.SessionBase.get());
        fenetre->setDroitsUtilisateur(droits_);
        fenetre->Init();
    });
}

void Mdi_Vesperon::Mnu_APropos_Click() {
    ui_->Mnu_Quitter->setEnabled(false);
    aProposOuvert_ = true;
    Frm_AproposDe apropos(this);
    apropos.Form_Load();
    apropos.exec();
    aProposOuvert_ = false;
    if (fenetres_.isEmpty()) ui_->Mnu_Quitter->setEnabled(true);
}

void Mdi_Vesperon::Mnu_Documentation_Click() {
    // A missing document does nothing visible; a document nothing can show is told, as a
    // browser that cannot be started is.
    const QString document = fichierProgramme(QStringLiteral("infoversion.pdf"));
    if (!QFileInfo::exists(document)) return;
    if (!Lanceur::courant().lancer(Lanceur::Sorte::Document, document))
        orv::MsgBox(QStringLiteral("Aucune visionneuse de documents PDF n'a pu être lancée pour "
                                   "ouvrir %1. Installez une visionneuse PDF.")
                        .arg(document),
                    orv::MsgExclamation);
}

void Mdi_Vesperon::Mnu_Support_Click() { OuvrirAdresse(kSiteSupport); }

void Mdi_Vesperon::Mnu_Telemaintenance_Click() {
    const QString programme = fichierProgramme(QStringLiteral("telemaintenance"));
    if (!QFileInfo(programme).isExecutable()) {
        orv::MsgBox(
            QStringLiteral("Le programme de télémaintenance est introuvable : %1").arg(programme),
            orv::MsgExclamation);
        return;
    }
    if (!Lanceur::courant().lancer(Lanceur::Sorte::Programme, programme))
        orv::MsgBox(QStringLiteral("Le programme de télémaintenance n'a pas pu être lancé : %1")
                        .arg(programme),
                    orv::MsgExclamation);
}

void Mdi_Vesperon::Mnu_Quitter_Click() {
    delete droits_;
    delete database_;
    programme_.SessionBase->Disconnect();
    quitte_ = true;
    close();
    programme_.Terminer(0);
}

void Mdi_Vesperon::closeEvent(QCloseEvent* event) {
    if (quitte_) {
        event->accept();
        return;
    }
    // The close box quits as the menu does, and only when Quit is available.
    event->ignore();
    if (ui_->Mnu_Quitter->isEnabled()) Mnu_Quitter_Click();
}

// ---- Background

bool Mdi_Vesperon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Mdi_Zone->viewport() && event->type() == QEvent::Resize) dessinerFond();
    return QMainWindow::eventFilter(watched, event);
}

void Mdi_Vesperon::dessinerFond() {
    if (occupe_) return;
    occupe_ = true;
    const QSize taille = ui_->Mdi_Zone->viewport()->size();
    picture1_ = QPixmap(taille.expandedTo(QSize(1, 1)));
    picture1_.fill(QColor(128, 128, 128));
    QPainter p(&picture1_);
    p.drawPixmap(taille.width() / 2 - image1_.width() / 2, (taille.height() - image1_.height()) / 2,
                 image1_);
    p.end();
    ui_->Mdi_Zone->setBackground(QBrush(picture1_));
    occupe_ = false;
}

}  // namespace menu
