#include "menu/chd_code.h"

#include <QLineEdit>
#include <limits>

#include "menu/mod_vesperon.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "schema/attributes.h"
#include "ui_chd_code.h"

namespace menu {

std::optional<QString> CodeCadrius(const QString& codeAidant, const QString& suffixe) {
    const QString s = codeAidant + suffixe;
    bool ok = false;
    const qlonglong n = s.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return QString::number(n % 7) + s;
}

Chd_CADRIUSCODE::Chd_CADRIUSCODE(Mdi_Vesperon& mdi)
    : FenetreFille(mdi, QStringLiteral("Chd_CADRIUSCODE"), QStringLiteral("Code Cadrius"),
                   QStringLiteral("Mnu_CADRIUSCODE")),
      ui_(std::make_unique<Ui::Chd_CADRIUSCODE>()) {
    auto* contenu = new QWidget(this);
    ui_->setupUi(contenu);
    setWidget(contenu);
    // 5700 x 3300 twips at 15 twips a pixel.
    resize(380, 220);
    orv::installCodeBox(ui_->Text1, 5);
    connect(ui_->Text1, &QLineEdit::textChanged, this, &Chd_CADRIUSCODE::Text1_Change);
    connect(ui_->Command1, &QPushButton::clicked, this, &Chd_CADRIUSCODE::Command1_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &Chd_CADRIUSCODE::Command2_Click);
}

Chd_CADRIUSCODE::~Chd_CADRIUSCODE() = default;

void Chd_CADRIUSCODE::setDroitsUtilisateur(orv::Rights* droits) {
    droits_ = droits;
    if (droits_) droit_ = droits_->entry(QStringLiteral("CADRIUSCODE"));
}

void Chd_CADRIUSCODE::Init() {
    if (!droit_.full()) ui_->Command1->hide();
    desactiverEntrees();
    std::shared_ptr<uni::File> association = session_->OpenFile(QStringLiteral("ASSOCIATION"));
    uni::Record enregistrement;
    if (LireEnregistrement(*association, enregistrement, QStringLiteral("001")))
        suffixe_ = enregistrement.Field(orv::attr::association::SuffixeCodeAidant);
}

void Chd_CADRIUSCODE::Text1_Change() {
    if (ui_->Text1->text().isEmpty()) ui_->Text2->clear();
}

void Chd_CADRIUSCODE::Command1_Click() {
    const std::optional<QString> code = CodeCadrius(ui_->Text1->text(), suffixe_);
    if (!code) {
        ui_->Text2->clear();
        orv::MsgBox(QStringLiteral("Le code Cadrius ne peut pas être calculé : « %1 » n'est pas un "
                                   "nombre entier compris entre -2147483648 et 2147483647.")
                        .arg(ui_->Text1->text() + suffixe_),
                    orv::MsgExclamation);
        return;
    }
    ui_->Text2->setText(*code);
}

void Chd_CADRIUSCODE::Command2_Click() { close(); }

}  // namespace menu
