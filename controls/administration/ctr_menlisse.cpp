#include "controls/administration/ctr_menlisse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>

#include "client/outils_communs.h"
#include "client/transaction.h"
#include "controls/administration/commun.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/colour_dialog.h"
#include "platform/messages.h"
#include "platform/printer.h"
#include "rights/administration.h"
#include "schema/attributes.h"
#include "ui_ctr_menlisse.h"

namespace administration {

namespace {

namespace attr = orv::attr;

const QString kPeriodes = QStringLiteral("PERIODESPAIE");
const QString kTemps = QStringLiteral("TPSPARAM");
const QString kCompteur = QStringLiteral("COMPTEUR");
const QString kTelegestion = QStringLiteral("TLGPARAM");
const QString kConventions = QStringLiteral("CONVENTIONCOL");
const QString kCleCompteur = QStringLiteral("999");
const QString kCleControle = QStringLiteral("HEURELIMITEVERIF");
// TLGPARAM "HEURELIMITEVERIF": 1 label, 2 the time limit, 3 "O" when the check is offered.
constexpr int kLibelleControle = 1;
constexpr int kHeureLimite = 2;
constexpr int kControleActif = 3;
// PERIODESPAIE "1": 2 and 3 the first and last day of the period.
constexpr int kPremierJour = 2;
constexpr int kDernierJour = 3;
// The categories of the chart, in the order of the screen.
constexpr std::array<int, 3> kAttributsCouleurs = {
    attr::tpsparam::CouleurArrets, attr::tpsparam::CouleurConges, attr::tpsparam::CouleurAutres};
constexpr int kPremiereAnnee = 1968;  // day 1 of the internal day numbers
constexpr int kDerniereAnnee = 2240;  // five-digit day numbers

// A flag ticked or not: "1" when ticked; unticked, "0" where "1" was stored, else the value
// stays as stored (an empty attribute reads as unticked already).
void mettreIndicateur(dba::Record& r, int attribut, bool coche, const QString& oui,
                      const QString& non) {
    if (coche)
        r.put(attribut, oui);
    else if (r.get(attribut) == oui)
        r.put(attribut, non);
}

}  // namespace

std::optional<QString> erreurPeriodePaie(const QString& periode) {
    static const QRegularExpression forme(QStringLiteral("^[0-9]{6}$"));
    const int annee = periode.left(4).toInt();
    const int mois = periode.mid(4, 2).toInt();
    if (forme.match(periode).hasMatch() && mois >= 1 && mois <= 12 && annee >= kPremiereAnnee &&
        annee <= kDerniereAnnee)
        return std::nullopt;
    return QStringLiteral(
               "La période de paie « %1 » n'est pas valide : écrivez l'année puis le mois, par "
               "exemple 200603 pour mars 2006.")
        .arg(periode);
}

std::optional<QString> erreurHeure(const QString& heure) {
    static const QRegularExpression forme(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    if (heure.isEmpty() || forme.match(heure).hasMatch()) return std::nullopt;
    return QStringLiteral(
               "L'heure limite « %1 » n'est pas valide : écrivez-la HH:MM, par exemple 09:00.")
        .arg(heure);
}

std::optional<qint64> valeurCouleur(const QString& texte) {
    static const QRegularExpression forme(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    if (!forme.match(texte.trimmed()).hasMatch()) return std::nullopt;
    const QColor c(texte.trimmed());
    return orv::rgbValue(c.red(), c.green(), c.blue());
}

QString texteCouleur(const QString& stocke) {
    bool nombre = false;
    const qint64 valeur = stocke.trimmed().toLongLong(&nombre);
    if (!nombre) return stocke;
    return orv::colorFromRgbValue(valeur).name().toUpper();
}

Ctr_Menlisse::Ctr_Menlisse(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent),
      ui_(std::make_unique<Ui::Ctr_Menlisse>()) {
    ui_->setupUi(this);
    couleurs_ = {ui_->Txt_Couleur1, ui_->Txt_Couleur2, ui_->Txt_Couleur3};
    choixCouleurs_ = {ui_->Cmd_Couleur1, ui_->Cmd_Couleur2, ui_->Cmd_Couleur3};
    for (int i = 0; i < 3; ++i) {
        connect(choixCouleurs_[i], &QPushButton::clicked, this,
                [this, i] { Cmd_Couleur_Click(i); });
        connect(couleurs_[i], &QLineEdit::textChanged, this, [this, i] { montrerCouleur(i); });
    }
    connect(ui_->Cbo_Convention, &QComboBox::activated, this, [this] { Cbo_Convention_Click(); });
    for (QCheckBox* c : {ui_->Cac_JoursOuvres, ui_->Cac_AncienneteDebut, ui_->Cac_AnneeCivile})
        connect(c, &QCheckBox::clicked, this, [this] { Cac_Convention_Click(); });
    connect(ui_->Cac_Federation, &QCheckBox::toggled, ui_->Txt_Federation, &QWidget::setEnabled);
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, [this] { Cmd_OK_Click(); });
    connect(ui_->Cmd_Annul, &QPushButton::clicked, this, [this] { Cmd_Annul_Click(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { Cmd_Retour_Click(); });
}

Ctr_Menlisse::~Ctr_Menlisse() = default;

void Ctr_Menlisse::start() {
    requireDatabase();
    orv::BusyScope occupe(this);
    if (accessLevel() != orv::AccessLevel::None) charger();
    appliquerAcces(
        accessLevel(), ui_->Etq_Consultation,
        {ui_->Txt_PeriodePaie, ui_->Txt_Couleur1, ui_->Txt_Couleur2, ui_->Txt_Couleur3,
         ui_->Cmd_Couleur1, ui_->Cmd_Couleur2, ui_->Cmd_Couleur3, ui_->Cac_JoursOuvres,
         ui_->Cac_AncienneteDebut, ui_->Cac_AnneeCivile, ui_->Cac_Federation, ui_->Txt_Federation,
         ui_->Cac_ControleEffectivite, ui_->Txt_HeureLimite, ui_->Cmd_OK, ui_->Cmd_Annul},
        {ui_->Cdr_Paie, ui_->Cdr_Couleurs, ui_->Cdr_Conventions, ui_->Cdr_Installation});
}

void Ctr_Menlisse::charger() {
    dba::Database& db = requireDatabase();
    auto lire = [&](const QString& fichier, const QString& cle) {
        Fiche f{fichier, cle, dba::Record(), true};
        try {
            f.lu = db.OpenFile(fichier)->Read(cle);
        } catch (const dba::Error& e) {
            if (e.number() == dba::kFileNotFound)
                f.present = false;
            else if (e.number() != dba::kRecordNotFound)
                throw;
        }
        return f;
    };
    fiches_ = {lire(kPeriodes, QStringLiteral("1")), lire(kTemps, QStringLiteral("1")),
               lire(kCompteur, kCleCompteur), lire(kTelegestion, kCleControle)};
    conventions_.clear();
    try {
        const dba::Record cles =
            db.Query(QStringLiteral("SSELECT CONVENTIONCOL PAR 0"), kConventions, {0});
        for (const QString& cle : cles.firstValues())
            if (!cle.isEmpty()) {
                fiches_ << lire(kConventions, cle);
                conventions_[cle] = fiches_.last().lu;
            }
    } catch (const dba::Error& e) {
        if (e.number() != dba::kFileNotFound && e.number() != dba::kQueryError) throw;
    }
    afficher();
}

const Ctr_Menlisse::Fiche* Ctr_Menlisse::fiche(const QString& fichier, const QString& cle) const {
    for (const Fiche& f : fiches_)
        if (f.fichier == fichier && f.cle == cle) return &f;
    return nullptr;
}

void Ctr_Menlisse::afficher() {
    const dba::Record& periode = fiche(kPeriodes, QStringLiteral("1"))->lu;
    const dba::Record& temps = fiche(kTemps, QStringLiteral("1"))->lu;
    const dba::Record& compteur = fiche(kCompteur, kCleCompteur)->lu;
    const dba::Record& controle = fiche(kTelegestion, kCleControle)->lu;
    ui_->Txt_PeriodePaie->setText(periode.get(attr::periodespaie::PeriodeCourante));
    for (int i = 0; i < 3; ++i)
        couleurs_[i]->setText(texteCouleur(temps.get(kAttributsCouleurs[i])));
    ui_->Cac_Telegestion->setChecked(compteur.get(attr::compteur::Telegestion) == u"1");
    const QString federation = compteur.get(attr::compteur::Federation);
    ui_->Cac_Federation->setChecked(!federation.isEmpty());
    ui_->Txt_Federation->setText(federation);
    ui_->Txt_Federation->setEnabled(!federation.isEmpty() &&
                                    accessLevel() == orv::AccessLevel::Full);
    ui_->Cac_ControleEffectivite->setChecked(controle.get(kControleActif) == u"O");
    ui_->Txt_HeureLimite->setText(controle.get(kHeureLimite));
    {
        const QSignalBlocker bloque(ui_->Cbo_Convention);
        ui_->Cbo_Convention->clear();
        for (auto it = conventions_.cbegin(); it != conventions_.cend(); ++it)
            ui_->Cbo_Convention->addItem(it.key() + QStringLiteral(" - ") + it.value().get(1),
                                         it.key());
    }
    ui_->Cdr_Conventions->setEnabled(!conventions_.isEmpty());
    Cbo_Convention_Click();
}

void Ctr_Menlisse::montrerCouleur(int categorie) {
    const std::optional<qint64> valeur = valeurCouleur(couleurs_[categorie]->text());
    choixCouleurs_[categorie]->setStyleSheet(
        valeur ? QStringLiteral("background-color: %1;").arg(orv::colorFromRgbValue(*valeur).name())
               : QString());
}

void Ctr_Menlisse::Cmd_Couleur_Click(int categorie) {
    const std::optional<qint64> valeur = valeurCouleur(couleurs_[categorie]->text());
    const QColor initiale = valeur ? orv::colorFromRgbValue(*valeur) : QColor(Qt::gray);
    if (const std::optional<QColor> choisie = orv::chooseColour(initiale, this))
        couleurs_[categorie]->setText(choisie->name().toUpper());
}

void Ctr_Menlisse::Cbo_Convention_Click() {
    convention_ = ui_->Cbo_Convention->currentData().toString();
    afficherConvention();
}

void Ctr_Menlisse::afficherConvention() {
    const dba::Record r = conventions_.value(convention_);
    ui_->Cac_JoursOuvres->setChecked(r.get(attr::conventioncol::JoursOuvres) == u"1");
    ui_->Cac_AncienneteDebut->setChecked(r.get(attr::conventioncol::AncienneteAuDebut) == u"1");
    ui_->Cac_AnneeCivile->setChecked(r.get(attr::conventioncol::AnneeCivile) == u"1");
}

void Ctr_Menlisse::Cac_Convention_Click() {
    if (!conventions_.contains(convention_)) return;
    dba::Record& r = conventions_[convention_];
    const QString un = QStringLiteral("1"), zero = QStringLiteral("0");
    mettreIndicateur(r, attr::conventioncol::JoursOuvres, ui_->Cac_JoursOuvres->isChecked(), un,
                     zero);
    mettreIndicateur(r, attr::conventioncol::AncienneteAuDebut,
                     ui_->Cac_AncienneteDebut->isChecked(), un, zero);
    mettreIndicateur(r, attr::conventioncol::AnneeCivile, ui_->Cac_AnneeCivile->isChecked(), un,
                     zero);
}

std::optional<std::pair<QString, QWidget*>> Ctr_Menlisse::erreurEcran() const {
    const QString periode = ui_->Txt_PeriodePaie->text().trimmed();
    const dba::Record& lue = fiche(kPeriodes, QStringLiteral("1"))->lu;
    if (periode != lue.get(attr::periodespaie::PeriodeCourante))
        if (const auto e = erreurPeriodePaie(periode)) return std::pair{*e, ui_->Txt_PeriodePaie};
    const dba::Record& temps = fiche(kTemps, QStringLiteral("1"))->lu;
    for (int i = 0; i < 3; ++i) {
        const QString texte = couleurs_[i]->text().trimmed();
        if (texte != texteCouleur(temps.get(kAttributsCouleurs[i])) && !valeurCouleur(texte))
            return std::pair{QStringLiteral("La couleur « %1 » n'est pas valide : écrivez-la "
                                            "#RRGGBB (par exemple #FF0000 pour le rouge), ou "
                                            "choisissez-la.")
                                 .arg(texte),
                             static_cast<QWidget*>(couleurs_[i])};
    }
    if (ui_->Cac_Federation->isChecked() && ui_->Txt_Federation->text().trimmed().isEmpty())
        return std::pair{QStringLiteral("Indiquez le nom de la fédération, ou décochez "
                                        "« Fédération »."),
                         static_cast<QWidget*>(ui_->Txt_Federation)};
    if (const auto e = erreurHeure(ui_->Txt_HeureLimite->text().trimmed()))
        return std::pair{*e, static_cast<QWidget*>(ui_->Txt_HeureLimite)};
    return std::nullopt;
}

QList<std::pair<Ctr_Menlisse::Fiche, dba::Record>> Ctr_Menlisse::fichesVoulues() const {
    QList<std::pair<Fiche, dba::Record>> voulues;
    for (const Fiche& f : fiches_) {
        if (!f.present) continue;
        dba::Record r = f.lu;
        if (f.fichier == kPeriodes) {
            const QString periode = ui_->Txt_PeriodePaie->text().trimmed();
            if (periode != r.get(attr::periodespaie::PeriodeCourante)) {
                const int annee = periode.left(4).toInt(), mois = periode.mid(4, 2).toInt();
                const int jours = QDate(annee, mois, 1).daysInMonth();
                r.put(attr::periodespaie::PeriodeCourante, periode);
                r.put(kPremierJour, QString::number(orv::OutilsCommuns::dayNumber(annee, mois, 1)));
                r.put(kDernierJour,
                      QString::number(orv::OutilsCommuns::dayNumber(annee, mois, jours)));
            }
        } else if (f.fichier == kTemps) {
            for (int i = 0; i < 3; ++i)
                if (const auto v = valeurCouleur(couleurs_[i]->text());
                    v &&
                    couleurs_[i]->text().trimmed() != texteCouleur(r.get(kAttributsCouleurs[i])))
                    r.put(kAttributsCouleurs[i], QString::number(*v));
        } else if (f.fichier == kCompteur) {
            r.put(attr::compteur::Federation, ui_->Cac_Federation->isChecked()
                                                  ? ui_->Txt_Federation->text().trimmed()
                                                  : QString());
        } else if (f.fichier == kTelegestion) {
            if (r.get(kLibelleControle).isEmpty())
                r.put(kLibelleControle,
                      QStringLiteral("Heure limite de vérification des plannings"));
            mettreIndicateur(r, kControleActif, ui_->Cac_ControleEffectivite->isChecked(),
                             QStringLiteral("O"), QStringLiteral("N"));
            r.put(kHeureLimite, ui_->Txt_HeureLimite->text().trimmed());
        } else if (f.fichier == kConventions) {
            r = conventions_.value(f.cle);
        }
        voulues << std::pair{f, r};
    }
    return voulues;
}

QList<std::pair<Ctr_Menlisse::Fiche, dba::Record>> Ctr_Menlisse::fichesModifiees() const {
    QList<std::pair<Fiche, dba::Record>> modifiees;
    for (const auto& [f, voulue] : fichesVoulues())
        if (voulue.get() != f.lu.get()) modifiees << std::pair{f, voulue};
    return modifiees;
}

void Ctr_Menlisse::ecrire(const QList<std::pair<Fiche, dba::Record>>& fiches) {
    dba::Database& db = requireDatabase();
    QList<std::pair<std::shared_ptr<dba::File>, QString>> tenues;
    bool modifieAilleurs = false;
    try {
        dba::Transaction(db, [&] {
            for (const auto& [f, voulue] : fiches) {
                const std::shared_ptr<dba::File> fichier = db.OpenFile(f.fichier);
                dba::Record stockee;
                try {
                    stockee = fichier->ReadForUpdate(f.cle);
                } catch (const dba::Error& e) {
                    if (e.number() != dba::kRecordLocked) throw;
                    throw orv::rights::Refusal(kVerrouille.arg(f.fichier));
                }
                tenues << std::pair{fichier, f.cle};
                if (stockee.get() != f.lu.get()) {
                    modifieAilleurs = true;
                    throw orv::rights::Refusal(kModifie.arg(f.fichier));
                }
                fichier->Write(f.cle, voulue);
            }
        });
    } catch (const orv::rights::Refusal&) {
        for (const auto& [fichier, cle] : tenues) fichier->Release(cle);
        if (modifieAilleurs) charger();
        throw;
    } catch (...) {
        for (const auto& [fichier, cle] : tenues) {
            try {
                fichier->Release(cle);
            } catch (const dba::Error&) {
                // The lock went with the connection.
            }
        }
        throw;
    }
}

void Ctr_Menlisse::Cmd_OK_Click() {
    if (const auto erreur = erreurEcran()) {
        orv::MsgBox(erreur->first, orv::MsgExclamation);
        erreur->second->setFocus();
        return;
    }
    const auto modifiees = fichesModifiees();
    if (modifiees.isEmpty()) return;
    if (executer([&] {
            orv::BusyScope occupe(this);
            ecrire(modifiees);
        }))
        charger();
}

void Ctr_Menlisse::Cmd_Annul_Click() { charger(); }

void Ctr_Menlisse::Cmd_Retour_Click() {
    if (accessLevel() == orv::AccessLevel::Full && !fiches_.isEmpty() &&
        !fichesModifiees().isEmpty()) {
        switch (orv::MsgBox(kQuestionEnregistrer, orv::MsgQuestion | orv::MsgYesNoCancel)) {
            case orv::MsgAnswer::Yes:
                Cmd_OK_Click();
                if (!fichesModifiees().isEmpty()) return;
                break;
            case orv::MsgAnswer::No:
                break;
            default:
                return;
        }
    }
    leave();
}

void Ctr_Menlisse::releaseResources() {
    fiches_.clear();
    conventions_.clear();
}

}  // namespace administration
