#include "menu/chd_rapport.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QStringList>

#include "client/marks.h"
#include "client/requete.h"
#include "menu/mdi_vesperon.h"
#include "menu/mod_vesperon.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "ui_chd_rapport.h"

namespace menu {

namespace {
const QString kFichier = QStringLiteral("VESPERONRAPPORTS");
const QString kExtension = QStringLiteral(".txt");
}  // namespace

Chd_CADRIUSRAPPORT::Chd_CADRIUSRAPPORT(Mdi_Vesperon& mdi)
    : FenetreFille(mdi, QStringLiteral("Chd_CADRIUSRAPPORT"),
                   QStringLiteral("Rapports d'importation"), QStringLiteral("Mnu_CADRIUSRAPPORT")),
      ui_(std::make_unique<Ui::Chd_CADRIUSRAPPORT>()) {
    auto* contenu = new QWidget(this);
    ui_->setupUi(contenu);
    setWidget(contenu);
    resize(780, 560);
    QComboBox* combo = ui_->Cbo_Rapports;
    connect(combo, &QComboBox::activated, this, &Chd_CADRIUSRAPPORT::AfficherRapport);
    connect(combo, &QComboBox::currentTextChanged, this, &Chd_CADRIUSRAPPORT::AfficherRapport);
    orv::onKeyPress(ui_->Txt_Rapports, [this](int& k) { Txt_Rapports_KeyPress(k); });
    connect(ui_->Txt_Rapports, &QPlainTextEdit::textChanged, this,
            &Chd_CADRIUSRAPPORT::Txt_Rapports_Change);
    connect(ui_->Cmd_Fermer, &QPushButton::clicked, this, &Chd_CADRIUSRAPPORT::Cmd_Fermer_Click);
}

Chd_CADRIUSRAPPORT::~Chd_CADRIUSRAPPORT() = default;

void Chd_CADRIUSRAPPORT::setDroitsUtilisateur(orv::Rights* droits) {
    droits_ = droits;
    if (droits_) droit_ = droits_->entry(QStringLiteral("RIENDEFINI"));
}

QString Chd_CADRIUSRAPPORT::dateDebut(const QString& periode) {
    return periode.left(4) + QLatin1Char('-') + periode.mid(4, 2) + QStringLiteral("-01");
}

QString Chd_CADRIUSRAPPORT::requete(const QString& debut) {
    return QStringLiteral("SELECT VESPERONRAPPORTS AVEC Date >= %1 PAR-DECR @ID")
        .arg(orv::valeurRequete(debut));
}

void Chd_CADRIUSRAPPORT::Init() {
    fermeture_ = false;
    desactiverEntrees();
    Programme& programme = mdi().programme();
    OuvrirFichiersVesperon(programme);
    chargement_ = false;

    QString debut;
    FichierVesperon& periodes = programme.fichiers.periodesPaie;
    if (LireEnregistrement(*periodes.fichier, periodes.enregistrement, QStringLiteral("1")))
        debut = dateDebut(periodes.enregistrement.Field(1));

    requete_ = uni::Record();
    resultat_ = uni::Record();
    requete_.setField(1, requete(debut));
    requete_.setField(2, kFichier);
    requete_.setField(3, QStringLiteral("0"));

    routine_ = session_->Subroutine(QStringLiteral("DBA.SELECT"), 3);
    routine_->ResetArgs();
    routine_->SetArg(0, QStringLiteral("0"));
    routine_->SetArg(1, requete_.text());
    routine_->Call();
    if (routine_->Error() != 0) {
        orv::MsgBox(kErreurRequete, orv::MsgInformation);
        return;
    }
    resultat_.setText(routine_->GetArg(2));
    QStringList noms;
    for (int i = 1; i <= resultat_.count(); ++i) {
        const QString cle = resultat_.Field(i);
        noms << cle.left(qMax(qsizetype(0), cle.size() - 4));
    }
    QSignalBlocker bloque(ui_->Cbo_Rapports);
    ui_->Cbo_Rapports->clear();
    ui_->Cbo_Rapports->addItems(noms);
    ui_->Cbo_Rapports->setCurrentIndex(-1);
}

void Chd_CADRIUSRAPPORT::AfficherRapport() {
    const int index = ui_->Cbo_Rapports->currentIndex();
    if (index < 0) return;
    const QString cle = ui_->Cbo_Rapports->itemText(index) + kExtension;
    FichierVesperon& rapports = mdi().programme().fichiers.rapports;
    if (!rapports.fichier) return;
    if (!LireEnregistrement(*rapports.fichier, rapports.enregistrement, cle)) return;
    const uni::Record& rapport = rapports.enregistrement;
    if (rapport.count() == 0) return;
    // The text is rebuilt from the record each time: a report shown twice appears once. The
    // lines are the attributes, split in one pass (a long report stays quick to show).
    const QString texte =
        rapport.text().split(QChar(orv::kAttributeMarkChar)).join(QLatin1Char('\n'));
    chargement_ = true;
    ui_->Txt_RapportsSave->setPlainText(texte);
    ui_->Txt_Rapports->setPlainText(texte);
    chargement_ = false;
}

void Chd_CADRIUSRAPPORT::Txt_Rapports_KeyPress(int& keyAscii) {
    // The report is read, not typed into: every typing key is swallowed, but copying (Ctrl+C)
    // and selecting everything (Ctrl+A) pass.
    if (keyAscii != orv::keys::CtrlA && keyAscii != orv::keys::CtrlC) keyAscii = 0;
}

void Chd_CADRIUSRAPPORT::Txt_Rapports_Change() {
    if (chargement_) return;
    const QString sauvegarde = ui_->Txt_RapportsSave->toPlainText();
    if (ui_->Txt_Rapports->toPlainText() == sauvegarde) return;
    chargement_ = true;
    ui_->Txt_Rapports->setPlainText(sauvegarde);
    chargement_ = false;
}

void Chd_CADRIUSRAPPORT::Cmd_Fermer_Click() {
    LibererFichiersVesperon(mdi().programme());
    fermeture_ = true;
    close();
}

}  // namespace menu
