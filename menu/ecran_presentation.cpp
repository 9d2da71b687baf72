#include "menu/ecran_presentation.h"

#include <QAction>
#include <QPainter>
#include <exception>

#include "menu/fichiers_programme.h"
#include "menu/mdi_vesperon.h"
#include "menu/mod_vesperon.h"
#include "platform/messages.h"
#include "ui_ecran_presentation.h"

namespace menu {

namespace {

// The splash picture: the logo centred on a light background with a teal frame.
QPixmap imagePresentation(const QSize& taille) {
    QPixmap image(taille);
    image.fill(QColor(245, 245, 240));
    QPainter p(&image);
    p.setPen(QPen(QColor(0, 110, 115), 6));
    p.drawRect(QRect(QPoint(3, 3), taille - QSize(6, 6)));
    const QPixmap logo(QStringLiteral(":/menu/logo.png"));
    p.fillRect(
        QRect((taille.width() - logo.width()) / 2 - 10, 24, logo.width() + 20, logo.height() + 10),
        QColor(128, 128, 128));
    p.drawPixmap((taille.width() - logo.width()) / 2, 29, logo);
    return image;
}

}  // namespace

EcranPresentation::EcranPresentation(Programme& programme, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      ui_(std::make_unique<Ui::EcranPresentation>()),
      programme_(programme) {
    ui_->setupUi(this);
    setFixedSize(size());
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(imagePresentation(size())));
    setPalette(palette);
    setAutoFillBackground(true);
    if (const QString version = LireVersion(); !version.isEmpty())
        ui_->lblVersion->setText(QStringLiteral("Version ") + version);
    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &EcranPresentation::Timer1_Timer);
    timer1_.start();
}

EcranPresentation::~EcranPresentation() = default;

void EcranPresentation::Timer1_Timer() {
    ++ticks_;
    if (ticks_ != 2) return;
    timer1_.stop();
    ouvrirMenu();
    close();
}

void EcranPresentation::ouvrirMenu() {
    try {
        auto mdi = std::make_unique<Mdi_Vesperon>(programme_);
        mdi->Form_Load();
        mdi->setWindowTitle(mdi->windowTitle() + QStringLiteral(" - ") +
                            programme_.SessionBase->accountPath());
        mdi->InitialiserDroits();
        OuvrirFichiersVesperon(programme_);
        FichierVesperon& param = programme_.fichiers.tlgParam;
        if (!LireEnregistrement(*param.fichier, param.enregistrement,
                                QStringLiteral("HEURELIMITEVERIF")) ||
            param.enregistrement.Field(3) != QStringLiteral("O"))
            mdi->entree(QStringLiteral("Mnu_CADRIUSTLGVERIFPLG"))->setEnabled(false);
        mdi->show();
        programme_.mdi = std::move(mdi);
    } catch (const std::exception& e) {
        // The database could not be opened: say why rather than end without a word.
        orv::MsgBox(
            QStringLiteral("Le menu ne peut pas être ouvert : %1").arg(QString::fromUtf8(e.what())),
            orv::MsgCritical);
        programme_.Terminer(1);
    }
}

}  // namespace menu
