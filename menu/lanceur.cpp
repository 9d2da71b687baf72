#include "menu/lanceur.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/messages.h"

namespace menu {

namespace {

// Whether the desktop has an application for the file's type, asked of xdg-mime (the tool
// behind xdg-open, which itself starts even when nothing can show the file).
bool applicationPour(const QString& fichier) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) return false;
    QProcess requete;
    requete.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                            QMimeDatabase().mimeTypeForFile(fichier).name()});
    if (!requete.waitForFinished(5000)) {
        requete.kill();
        return true;  // cannot tell: let xdg-open try
    }
    return !requete.readAllStandardOutput().trimmed().isEmpty();
}

class LanceurSysteme : public Lanceur {
  public:
    bool lancer(Sorte sorte, const QString& cible) override {
        switch (sorte) {
            case Sorte::Adresse:
                return QDesktopServices::openUrl(QUrl(cible));
            case Sorte::Document:
                return applicationPour(cible) &&
                       QDesktopServices::openUrl(QUrl::fromLocalFile(cible));
            case Sorte::Programme:
                return QProcess::startDetached(cible, {}, QFileInfo(cible).absolutePath());
        }
        return false;
    }
};

Lanceur* installe = nullptr;

}  // namespace

Lanceur& Lanceur::courant() {
    static LanceurSysteme systeme;
    return installe ? *installe : systeme;
}

void Lanceur::installer(Lanceur* lanceur) { installe = lanceur; }

bool LanceurEnregistreur::lancer(Sorte sorte, const QString& cible) {
    demandes_.append({sorte, cible});
    if (observateur_) observateur_(demandes_.last());
    return reussite;
}

QString nomSorte(Lanceur::Sorte sorte) {
    switch (sorte) {
        case Lanceur::Sorte::Adresse:
            return QStringLiteral("address");
        case Lanceur::Sorte::Document:
            return QStringLiteral("document");
        case Lanceur::Sorte::Programme:
            return QStringLiteral("program");
    }
    return {};
}

void OuvrirAdresse(const QString& adresse) {
    if (!Lanceur::courant().lancer(Lanceur::Sorte::Adresse, adresse))
        orv::MsgBox(QStringLiteral("Le navigateur Internet n'a pas pu être lancé pour ouvrir %1.")
                        .arg(adresse),
                    orv::MsgExclamation);
}

}  // namespace menu
