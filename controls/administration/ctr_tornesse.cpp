#include "controls/administration/ctr_tornesse.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "client/dba.h"
#include "controls/administration/commun.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/messages.h"
#include "ui_ctr_tornesse.h"

namespace administration {

namespace {

using orv::rights::Holder;

constexpr int kColonneNiveau = 2;
// Cbo_Niveau: entry 0 stores nothing for the key, entries 1 to 3 the levels 0 to 2.
constexpr int kSansNiveau = 0;

}  // namespace

Ctr_Tornesse::Ctr_Tornesse(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent),
      ui_(std::make_unique<Ui::Ctr_Tornesse>()) {
    ui_->setupUi(this);
    for (QRadioButton* o : {ui_->Opt_Groupe, ui_->Opt_Utilisateur})
        connect(o, &QRadioButton::clicked, this, [this] { Opt_Titulaire_Click(); });
    for (QRadioButton* o :
         {ui_->Opt_SecteursNonDefinis, ui_->Opt_TousSecteurs, ui_->Opt_SecteursChoisis})
        connect(o, &QRadioButton::clicked, this, [this] { Opt_Secteurs_Click(); });
    connect(ui_->Cbo_Titulaire, &QComboBox::activated, this, [this] { Cbo_Titulaire_Click(); });
    connect(ui_->Lst_Droits, &QTableWidget::itemSelectionChanged, this,
            [this] { Lst_Droits_Click(); });
    connect(ui_->Cbo_Niveau, &QComboBox::activated, this, [this] { Cbo_Niveau_Click(); });
    connect(ui_->Cmd_CreerGroupe, &QPushButton::clicked, this, [this] { Cmd_CreerGroupe_Click(); });
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, [this] { Cmd_OK_Click(); });
    connect(ui_->Cmd_Annul, &QPushButton::clicked, this, [this] { Cmd_Annul_Click(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { Cmd_Retour_Click(); });
}

Ctr_Tornesse::~Ctr_Tornesse() = default;

void Ctr_Tornesse::start() {
    dba::Database& db = requireDatabase();
    admin_.emplace(db);
    orv::BusyScope occupe(this);
    appliquerAcces(accessLevel(), ui_->Etq_Consultation,
                   {ui_->Txt_NouveauGroupe, ui_->Cmd_CreerGroupe, ui_->Cbo_Niveau,
                    ui_->Opt_SecteursNonDefinis, ui_->Opt_TousSecteurs, ui_->Opt_SecteursChoisis,
                    ui_->Lst_Secteurs, ui_->Cmd_OK, ui_->Cmd_Annul},
                   {ui_->Cdr_Titulaire, ui_->Lst_Droits});
    if (accessLevel() == orv::AccessLevel::None) return;
    // The sectors a list may allow: every sector of the file, code and name.
    ui_->Lst_Secteurs->clear();
    if (dba::translated([&] { return db.session().database().hasFile("SECTEUR"); })) {
        const dba::Record secteurs =
            db.Query(QStringLiteral("SSELECT SECTEUR PAR 0"), QStringLiteral("SECTEUR"), {0, 1});
        for (int i = 1; i <= secteurs.DCount(); ++i) {
            if (secteurs.get(i, 1).isEmpty()) continue;
            auto* item = new QListWidgetItem(secteurs.get(i, 1) + QStringLiteral(" - ") +
                                             secteurs.get(i, 2));
            item->setData(Qt::UserRole, secteurs.get(i, 1));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            ui_->Lst_Secteurs->addItem(item);
        }
    }
    remplirTitulaires();
}

Holder Ctr_Tornesse::titulaire() const {
    return ui_->Opt_Utilisateur->isChecked() ? Holder::User : Holder::Group;
}

void Ctr_Tornesse::remplirTitulaires(const QString& nom) {
    QStringList noms;
    if (titulaire() == Holder::Group) {
        noms = admin_->groups();
    } else {
        for (const orv::rights::UserRow& u : admin_->users()) noms << u.name;
    }
    {
        const QSignalBlocker bloque(ui_->Cbo_Titulaire);
        ui_->Cbo_Titulaire->clear();
        ui_->Cbo_Titulaire->addItems(noms);
        ui_->Cbo_Titulaire->setCurrentIndex(qMax(0, int(noms.indexOf(nom))));
    }
    ui_->Opt_SecteursNonDefinis->setText(titulaire() == Holder::User
                                             ? QStringLiteral("Ceux des groupes")
                                             : QStringLiteral("Non définis (tous)"));
    charger();
}

void Ctr_Tornesse::charger() {
    nom_ = ui_->Cbo_Titulaire->currentText();
    affiche_ = nom_.isEmpty() ? orv::rights::StoredRights{} : admin_->stored(titulaire(), nom_);
    saisie_ = affiche_;
    niveauxGroupes_.clear();
    if (titulaire() == Holder::User)
        for (const QString& g : affiche_.groups) {
            const orv::rights::StoredRights groupe = admin_->stored(Holder::Group, g);
            for (auto it = groupe.levels.cbegin(); it != groupe.levels.cend(); ++it)
                niveauxGroupes_[it.key()] = qMax(niveauxGroupes_.value(it.key()), it.value());
        }
    cles_ = orv::rights::knownKeys();
    for (const QString& k : affiche_.keys)
        if (!cles_.contains(k)) cles_ << k;
    {
        const QSignalBlocker bloque(ui_->Cbo_Niveau);
        ui_->Cbo_Niveau->clear();
        ui_->Cbo_Niveau->addItem(titulaire() == Holder::User ? QStringLiteral("Hérité des groupes")
                                                             : QStringLiteral("Non défini"));
        for (int niveau = 0; niveau <= 2; ++niveau) ui_->Cbo_Niveau->addItem(libelleNiveau(niveau));
    }
    afficherDroits();
    afficherSecteurs();
    ui_->Lst_Droits->selectRow(0);
}

bool Ctr_Tornesse::cleImposee(const QString& cle) const {
    return titulaire() == Holder::User && nom_ == orv::rights::kAdministratorUser &&
           orv::rights::forcedAdministratorKeys().contains(cle);
}

QString Ctr_Tornesse::texteNiveau(const QString& cle) const {
    if (cleImposee(cle)) return libelleNiveau(2) + QStringLiteral(" (imposé)");
    if (saisie_.levels.contains(cle)) return libelleNiveau(saisie_.levels.value(cle));
    if (titulaire() == Holder::Group) return QStringLiteral("Non défini (aucun accès)");
    if (niveauxGroupes_.contains(cle))
        return QStringLiteral("Hérité : ") + libelleNiveau(niveauxGroupes_.value(cle));
    return QStringLiteral("Hérité : non défini (aucun accès)");
}

void Ctr_Tornesse::afficherDroits() {
    const QSignalBlocker bloque(ui_->Lst_Droits);
    const int ligne = ui_->Lst_Droits->currentRow();
    ui_->Lst_Droits->clearContents();
    ui_->Lst_Droits->setRowCount(int(cles_.size()));
    for (int i = 0; i < cles_.size(); ++i) {
        const QString libelle = orv::rights::keyLabel(cles_[i]);
        ui_->Lst_Droits->setItem(i, 0, new QTableWidgetItem(cles_[i]));
        ui_->Lst_Droits->setItem(
            i, 1,
            new QTableWidgetItem(libelle.isEmpty() ? QStringLiteral("(clé que plus rien ne lit)")
                                                   : libelle));
        ui_->Lst_Droits->setItem(i, kColonneNiveau, new QTableWidgetItem(texteNiveau(cles_[i])));
    }
    ui_->Lst_Droits->resizeColumnToContents(0);
    ui_->Lst_Droits->resizeColumnToContents(1);
    if (ligne >= 0) ui_->Lst_Droits->selectRow(ligne);
}

void Ctr_Tornesse::afficherSecteurs() {
    const std::optional<QStringList>& secteurs = saisie_.sectors;
    QRadioButton* choix = !secteurs             ? ui_->Opt_SecteursNonDefinis
                          : secteurs->isEmpty() ? ui_->Opt_TousSecteurs
                                                : ui_->Opt_SecteursChoisis;
    choix->setChecked(true);
    for (int i = 0; i < ui_->Lst_Secteurs->count(); ++i) {
        QListWidgetItem* item = ui_->Lst_Secteurs->item(i);
        const bool permis = secteurs && secteurs->contains(item->data(Qt::UserRole).toString());
        item->setCheckState(permis ? Qt::Checked : Qt::Unchecked);
    }
    ui_->Lst_Secteurs->setEnabled(accessLevel() == orv::AccessLevel::Full &&
                                  ui_->Opt_SecteursChoisis->isChecked());
}

orv::rights::StoredRights Ctr_Tornesse::lireEcran() const {
    orv::rights::StoredRights ecran = saisie_;
    if (ui_->Opt_SecteursNonDefinis->isChecked()) {
        ecran.sectors.reset();
    } else {
        QStringList codes;
        if (ui_->Opt_SecteursChoisis->isChecked())
            for (int i = 0; i < ui_->Lst_Secteurs->count(); ++i)
                if (ui_->Lst_Secteurs->item(i)->checkState() == Qt::Checked)
                    codes << ui_->Lst_Secteurs->item(i)->data(Qt::UserRole).toString();
        ecran.sectors = codes;
    }
    return ecran;
}

bool Ctr_Tornesse::modifie() const {
    if (accessLevel() != orv::AccessLevel::Full || nom_.isEmpty()) return false;
    const orv::rights::StoredRights ecran = lireEcran();
    return ecran.levels != affiche_.levels || ecran.sectors != affiche_.sectors;
}

bool Ctr_Tornesse::quitterTitulaire() {
    if (!modifie()) return true;
    switch (orv::MsgBox(kQuestionEnregistrer, orv::MsgQuestion | orv::MsgYesNoCancel)) {
        case orv::MsgAnswer::Yes:
            Cmd_OK_Click();
            return !modifie();
        case orv::MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

void Ctr_Tornesse::Opt_Titulaire_Click() {
    if (!quitterTitulaire()) {
        // Stay on the holder shown.
        const QSignalBlocker g(ui_->Opt_Groupe), u(ui_->Opt_Utilisateur);
        (titulaire() == Holder::User ? ui_->Opt_Groupe : ui_->Opt_Utilisateur)->setChecked(true);
        return;
    }
    remplirTitulaires();
}

void Ctr_Tornesse::Cbo_Titulaire_Click() {
    if (ui_->Cbo_Titulaire->currentText() == nom_) return;
    if (!quitterTitulaire()) {
        const QSignalBlocker bloque(ui_->Cbo_Titulaire);
        ui_->Cbo_Titulaire->setCurrentIndex(ui_->Cbo_Titulaire->findText(nom_));
        return;
    }
    charger();
}

void Ctr_Tornesse::Lst_Droits_Click() {
    const int ligne = ui_->Lst_Droits->currentRow();
    if (ligne < 0 || ligne >= cles_.size()) return;
    const QString& cle = cles_[ligne];
    const QSignalBlocker bloque(ui_->Cbo_Niveau);
    ui_->Cbo_Niveau->setCurrentIndex(saisie_.levels.contains(cle) ? saisie_.levels.value(cle) + 1
                                                                  : kSansNiveau);
    ui_->Cbo_Niveau->setEnabled(accessLevel() == orv::AccessLevel::Full && !cleImposee(cle) &&
                                !nom_.isEmpty());
}

void Ctr_Tornesse::Cbo_Niveau_Click() {
    const int ligne = ui_->Lst_Droits->currentRow();
    if (ligne < 0 || ligne >= cles_.size() || cleImposee(cles_[ligne])) return;
    const QString& cle = cles_[ligne];
    const int choix = ui_->Cbo_Niveau->currentIndex();
    if (choix == kSansNiveau) {
        saisie_.keys.removeAll(cle);
        saisie_.levels.remove(cle);
    } else {
        if (!saisie_.levels.contains(cle)) saisie_.keys << cle;
        saisie_.levels[cle] = choix - 1;
    }
    ui_->Lst_Droits->item(ligne, kColonneNiveau)->setText(texteNiveau(cle));
}

void Ctr_Tornesse::Opt_Secteurs_Click() {
    ui_->Lst_Secteurs->setEnabled(accessLevel() == orv::AccessLevel::Full &&
                                  ui_->Opt_SecteursChoisis->isChecked());
}

void Ctr_Tornesse::Cmd_CreerGroupe_Click() {
    const QString groupe = ui_->Txt_NouveauGroupe->text().trimmed().toUpper();
    if (!quitterTitulaire()) return;
    if (!executer([&] { admin_->createGroup(groupe); })) return;
    ui_->Txt_NouveauGroupe->clear();
    ui_->Opt_Groupe->setChecked(true);
    remplirTitulaires(groupe);
}

void Ctr_Tornesse::Cmd_OK_Click() {
    if (nom_.isEmpty()) return;
    const orv::rights::StoredRights ecran = lireEcran();
    const bool fait = executer([&] {
        orv::BusyScope occupe(this);
        admin_->saveRights(titulaire(), nom_, affiche_, ecran);
    });
    // What is stored now, after the change or after another user's; a change refused for
    // another reason (the record held, the last administrator) stays on the screen.
    if (fait || admin_->stored(titulaire(), nom_) != affiche_) charger();
}

void Ctr_Tornesse::Cmd_Annul_Click() { charger(); }

void Ctr_Tornesse::Cmd_Retour_Click() {
    if (!quitterTitulaire()) return;
    leave();
}

void Ctr_Tornesse::releaseResources() { admin_.reset(); }

}  // namespace administration
