#include "menu/frm_apropos.h"

#include <QFile>
#include <QMouseEvent>

#include "menu/fichiers_programme.h"
#include "menu/lanceur.h"
#include "ui_frm_apropos.h"

namespace menu {

Frm_AproposDe::Frm_AproposDe(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Frm_AproposDe>()) {
    ui_->setupUi(this);
    const QPixmap logo =
        QPixmap(QStringLiteral(":/menu/logo.png")).scaledToHeight(72, Qt::SmoothTransformation);
    ui_->Image1->setPixmap(logo);
    ui_->Image2->setPixmap(logo);
    ui_->Image1->setStyleSheet(QStringLiteral("background: rgb(128,128,128)"));
    ui_->Image2->setStyleSheet(QStringLiteral("background: rgb(128,128,128)"));
    ui_->Etq_SiteWeb->installEventFilter(this);
    connect(ui_->Cmd_OK, &QPushButton::clicked, this, &Frm_AproposDe::Cmd_OK_Click);
}

Frm_AproposDe::~Frm_AproposDe() = default;

void Frm_AproposDe::Form_Load() {
    fermeture_ = false;
    if (const QString version = LireVersion(); !version.isEmpty())
        ui_->Etq_Version->setText(version);
    ui_->Etq_SiteWeb->setText(kSiteWeb);
    QFile mentions(QStringLiteral(":/menu/mentions_legales.txt"));
    if (mentions.open(QIODevice::ReadOnly | QIODevice::Text))
        ui_->Text1->setPlainText(QString::fromUtf8(mentions.readAll()));
}

void Frm_AproposDe::Etq_SiteWeb_Click() { OuvrirAdresse(ui_->Etq_SiteWeb->text()); }

void Frm_AproposDe::Cmd_OK_Click() {
    fermeture_ = true;
    accept();
}

void Frm_AproposDe::reject() {
    if (fermeture_) QDialog::reject();
}

bool Frm_AproposDe::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Etq_SiteWeb && event->type() == QEvent::MouseButtonRelease) {
        Etq_SiteWeb_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace menu
