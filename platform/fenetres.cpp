#include "platform/fenetres.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QSettings>
#include <QWidget>

#include "platform/platform.h"

namespace orv {

namespace {

// Saves the window's geometry when it is hidden (closing hides it first).
class GardeGeometrie : public QObject {
  public:
    GardeGeometrie(QWidget* window, QString key, Memoire memoire)
        : QObject(window), window_(window), key_(std::move(key)), memoire_(memoire) {
        window->installEventFilter(this);
    }

    void restaurer() const {
        const QSettings reglages(fichierFenetres(), QSettings::IniFormat);
        const QVariant valeur = reglages.value(key_);
        if (!valeur.isValid()) return;
        if (memoire_ == Memoire::TaillePosition)
            window_->restoreGeometry(valeur.toByteArray());
        else if (const QSize taille = valeur.toSize(); taille.isValid())
            window_->resize(taille);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Hide) enregistrer();
        return false;
    }

  private:
    void enregistrer() const {
        QSettings reglages(fichierFenetres(), QSettings::IniFormat);
        reglages.setValue(key_, memoire_ == Memoire::TaillePosition
                                    ? QVariant(window_->saveGeometry())
                                    : QVariant(window_->size()));
    }

    QWidget* window_;
    QString key_;
    Memoire memoire_;
};

}  // namespace

void installProgramIcon() {
    QIcon icone;
    for (const int taille : {48, 256})
        icone.addFile(QStringLiteral(":/orvanelle/orvanelle-cadrius-%1.png").arg(taille),
                      QSize(taille, taille));
    QApplication::setWindowIcon(icone);
}

QString fichierFenetres() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/orvanelle/fenetres.ini");
}

void memoriserGeometrie(QWidget* window, const QString& key, Memoire memoire) {
    if (automationMode()) return;
    (new GardeGeometrie(window, key, memoire))->restaurer();
}

}  // namespace orv
