#include "controls/administration/ctr_falmeret.h"

#include <QPushButton>
#include <QSignalBlocker>

#include "controls/administration/commun.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/messages.h"
#include "ui_ctr_falmeret.h"

namespace administration {

Ctr_Falmeret::Ctr_Falmeret(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent),
      ui_(std::make_unique<Ui::Ctr_Falmeret>()) {
    ui_->setupUi(this);
    connect(ui_->Lst_Utilisateurs, &QTableWidget::itemSelectionChanged, this,
            [this] { Lst_Utilisateurs_Click(); });
    connect(ui_->Cmd_Ajouter, &QPushButton::clicked, this, [this] { Cmd_Ajouter_Click(); });
    connect(ui_->Cmd_MotPasse, &QPushButton::clicked, this, [this] { Cmd_MotPasse_Click(); });
    connect(ui_->Cmd_Groupe, &QPushButton::clicked, this, [this] { Cmd_Groupe_Click(); });
    connect(ui_->Cmd_Supprimer, &QPushButton::clicked, this, [this] { Cmd_Supprimer_Click(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { Cmd_Retour_Click(); });
}

Ctr_Falmeret::~Ctr_Falmeret() = default;

void Ctr_Falmeret::start() {
    admin_.emplace(requireDatabase());
    orv::BusyScope occupe(this);
    appliquerAcces(accessLevel(), ui_->Etq_Consultation,
                   {ui_->Txt_MotPasse, ui_->Txt_Confirmation, ui_->Cbo_Groupe, ui_->Cmd_Ajouter,
                    ui_->Cmd_MotPasse, ui_->Cmd_Groupe, ui_->Cmd_Supprimer},
                   {ui_->Lst_Utilisateurs, ui_->Txt_Nom});
    if (accessLevel() != orv::AccessLevel::None) remplir();
}

void Ctr_Falmeret::remplir(const QString& utilisateur) {
    const QList<orv::rights::UserRow> lignes = admin_->users();
    {
        const QSignalBlocker bloque(ui_->Lst_Utilisateurs);
        ui_->Lst_Utilisateurs->clearContents();
        ui_->Lst_Utilisateurs->setRowCount(int(lignes.size()));
        for (int i = 0; i < lignes.size(); ++i) {
            ui_->Lst_Utilisateurs->setItem(i, 0, new QTableWidgetItem(lignes[i].name));
            ui_->Lst_Utilisateurs->setItem(
                i, 1, new QTableWidgetItem(lignes[i].groups.join(QStringLiteral(", "))));
        }
    }
    ui_->Lst_Utilisateurs->resizeColumnToContents(0);
    ui_->Cbo_Groupe->clear();
    ui_->Cbo_Groupe->addItem(kAucunGroupe);
    ui_->Cbo_Groupe->addItems(admin_->groups());
    for (int i = 0; i < lignes.size(); ++i)
        if (lignes[i].name == utilisateur) ui_->Lst_Utilisateurs->selectRow(i);
}

void Ctr_Falmeret::Lst_Utilisateurs_Click() {
    const QList<QTableWidgetItem*> choix = ui_->Lst_Utilisateurs->selectedItems();
    if (choix.isEmpty()) return;
    const QString nom = ui_->Lst_Utilisateurs->item(choix.first()->row(), 0)->text();
    lireAffiche(nom);
    ui_->Txt_Nom->setText(nom);
    const int groupe =
        affiche_.groups.isEmpty() ? 0 : ui_->Cbo_Groupe->findText(affiche_.groups.first());
    ui_->Cbo_Groupe->setCurrentIndex(qMax(0, groupe));
    viderMotsDePasse();
}

void Ctr_Falmeret::lireAffiche(const QString& nom) {
    affiche_ = admin_->stored(orv::rights::Holder::User, nom);
    afficheNom_ = nom;
}

QString Ctr_Falmeret::groupeChoisi() const {
    return ui_->Cbo_Groupe->currentIndex() <= 0 ? QString() : ui_->Cbo_Groupe->currentText();
}

QString Ctr_Falmeret::nomSaisi() const { return ui_->Txt_Nom->text().trimmed().toUpper(); }

void Ctr_Falmeret::viderMotsDePasse() {
    ui_->Txt_MotPasse->clear();
    ui_->Txt_Confirmation->clear();
}

void Ctr_Falmeret::changer(const std::function<void()>& changement) {
    const QString nom = nomSaisi();
    const bool fait = executer([&] {
        orv::BusyScope occupe(this);
        changement();
    });
    viderMotsDePasse();
    remplir(nom);
    if (fait) ui_->Txt_Nom->setText(nom);
}

void Ctr_Falmeret::Cmd_Ajouter_Click() {
    changer([this] {
        admin_->addUser(nomSaisi(), ui_->Txt_MotPasse->text(), ui_->Txt_Confirmation->text(),
                        groupeChoisi());
    });
}

void Ctr_Falmeret::Cmd_MotPasse_Click() {
    changer([this] {
        admin_->changePassword(nomSaisi(), ui_->Txt_MotPasse->text(),
                               ui_->Txt_Confirmation->text());
    });
}

void Ctr_Falmeret::Cmd_Groupe_Click() {
    changer([this] {
        // A name typed rather than chosen in the list: its record as it is now.
        if (afficheNom_ != nomSaisi()) lireAffiche(nomSaisi());
        admin_->setGroup(nomSaisi(), groupeChoisi(), affiche_);
    });
}

void Ctr_Falmeret::Cmd_Supprimer_Click() {
    const QString nom = nomSaisi();
    if (nom.isEmpty()) return;
    const QString question =
        QStringLiteral("Voulez-vous vraiment supprimer l'utilisateur « %1 » ?").arg(nom);
    if (orv::MsgBox(question, orv::MsgQuestion | orv::MsgYesNo) != orv::MsgAnswer::Yes) return;
    changer([&] { admin_->removeUser(nom); });
}

void Ctr_Falmeret::Cmd_Retour_Click() { leave(); }

void Ctr_Falmeret::releaseResources() { admin_.reset(); }

}  // namespace administration
