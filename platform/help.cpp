#include "platform/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

#include "client/install_paths.h"
#include "platform/messages.h"
#include "ui_aide.h"

namespace orv {

namespace {

QPointer<QWidget> g_window;
// The control whose help the window shows, and the connection that closes the window when
// that control is deleted.
QPointer<QObject> g_owner;
QMetaObject::Connection g_ownerGone;

void setOwner(QObject* owner) {
    QObject::disconnect(g_ownerGone);
    g_owner = owner;
    if (owner)
        g_ownerGone = QObject::connect(owner, &QObject::destroyed, g_window.data(), &closeHelp);
}

}  // namespace

QStringList helpDirectories() {
    QStringList dirs;
    if (qEnvironmentVariableIsSet("ORVANELLE_HELP_DIR"))
        dirs << qEnvironmentVariable("ORVANELLE_HELP_DIR");
    // An installed program reads only its installed pages.
    if (runsInstalled()) return dirs << installedDataDir() + QStringLiteral("/help");
    const QString bin = QCoreApplication::applicationDirPath();
    return dirs + QStringList{bin + QStringLiteral("/help"), bin + QStringLiteral("/data/help"),
                              QStringLiteral(ORV_SOURCE_DATA_DIR "/help"),
                              QStringLiteral(ORV_SOURCE_DOCS_DIR)};
}

QString findHelpPage(const QString& pageName) {
    if (pageName.isEmpty() || pageName.contains(QLatin1String(".."))) return QString();
    for (const QString& dir : helpDirectories()) {
        const QFileInfo page(QDir(dir), pageName);
        if (page.isFile()) return page.canonicalFilePath();
    }
    return QString();
}

QWidget* showHelp(const QString& pageName, const QString& title, QObject* owner) {
    const QString path = findHelpPage(pageName);
    if (path.isEmpty()) {
        MsgBox(QStringLiteral("La page d'aide « %1 » n'est pas installée.").arg(pageName),
               MsgExclamation);
        return nullptr;
    }
    if (!g_window) {
        g_window = new QWidget;
        g_window->setAttribute(Qt::WA_DeleteOnClose);
        Ui::Aide().setupUi(g_window);
        QObject::connect(g_window->findChild<QPushButton*>(QStringLiteral("Cmd_Guide")),
                         &QPushButton::clicked, g_window, [] { showGuide(); });
        // Escape closes the window, as it does any reading window.
        auto* echap = new QShortcut(QKeySequence(Qt::Key_Escape), g_window);
        QObject::connect(echap, &QShortcut::activated, g_window, &QWidget::close);
    }
    setOwner(owner);
    g_window->setWindowTitle(title);
    auto* browser = g_window->findChild<QTextBrowser*>(QStringLiteral("Txt_Aide"));
    browser->setSearchPaths({QFileInfo(path).absolutePath()});
    browser->setSource(QUrl::fromLocalFile(path));
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return g_window;
}

QWidget* showGuide() {
    // The guide belongs to no control: it keeps the window's owner, if any.
    return showHelp(kGuidePage, kGuideTitle, g_owner.data());
}

void closeHelp() {
    if (g_window) g_window->close();
}

void closeHelpOf(const QObject* owner) {
    if (owner && g_owner.data() == owner) closeHelp();
}

}  // namespace orv
