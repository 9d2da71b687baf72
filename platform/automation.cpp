#include "platform/automation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include "platform/automation_dump.h"
#include "platform/automation_tree.h"
#include "platform/dialogs.h"
#include "platform/json_output.h"
#include "platform/message_services.h"
#include "platform/platform.h"
#include "platform/print_catalogue.h"

namespace orv {

namespace {

using namespace automation;

// The widget was not found yet: the action is tried again until the wait runs out.
struct NotYet {
    QString what;
};
struct ScriptError {
    QString message;
};

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

int notFoundWaitMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("ORVANELLE_SCRIPT_WAIT_MS", &ok);
    return ok ? ms : 3000;
}

QWidget* findWidget(const QString& name) {
    for (QWidget* window : windows()) {
        if (window->objectName() == name) return window;
        if (auto* w = window->findChild<QWidget*>(name)) return w;
    }
    throw NotYet{QStringLiteral("aucun contrôle nommé « %1 »").arg(name)};
}

QAction* findAction(const QString& name) {
    for (QWidget* window : windows()) {
        if (auto* a = window->findChild<QAction*>(name)) return a;
    }
    throw NotYet{QStringLiteral("aucune entrée de menu nommée « %1 »").arg(name)};
}

void requireReachable(const QAction* action, const QString& name) {
    const std::optional<Barrier> barrier = barrierTo(action, name);
    if (!barrier) return;
    if (barrier->name == name)
        throw ScriptError{(barrier->hidden
                               ? QStringLiteral("l'entrée de menu « %1 » est cachée")
                               : QStringLiteral("l'entrée de menu « %1 » est désactivée"))
                              .arg(name)};
    throw ScriptError{
        QStringLiteral("l'entrée de menu « %1 » est sous le menu « %2 », %3")
            .arg(name, barrier->name,
                 barrier->hidden ? QStringLiteral("caché") : QStringLiteral("désactivé"))};
}

// A user can only act on what is shown and enabled.
void requireUsable(const QWidget* w) {
    if (!w->isVisible())
        throw ScriptError{QStringLiteral("« %1 » n'est pas visible").arg(w->objectName())};
    if (!w->isEnabled())
        throw ScriptError{QStringLiteral("« %1 » est désactivé").arg(w->objectName())};
}

void activate(QWidget* w, Qt::FocusReason reason) {
    QWidget* window = w->window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    if (w->focusPolicy() != Qt::NoFocus) w->setFocus(reason);
}

// Where typed keys go: the editor of an editable combo box, else the widget itself.
QWidget* keyTarget(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        return combo->lineEdit();
    return w;
}

void moveToEnd(QWidget* w) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->end(false);
    if (auto* text = qobject_cast<QTextEdit*>(w)) text->moveCursor(QTextCursor::End);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) plain->moveCursor(QTextCursor::End);
}

void sendKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

int qtKeyForChar(QChar c) {
    if (c.isLetterOrNumber() && c.unicode() < 128) return c.toUpper().unicode();
    if (c == QLatin1Char(' ')) return Qt::Key_Space;
    return c.unicode() < 128 ? int(c.unicode()) : int(Qt::Key_unknown);
}

void typeText(const QString& name, const QString& text) {
    QWidget* w = findWidget(name);
    requireUsable(w);
    QWidget* target = keyTarget(w);
    activate(target, Qt::MouseFocusReason);
    moveToEnd(target);
    for (QChar c : text) sendKey(target, qtKeyForChar(c), QString(c));
}

void clearBox(const QString& name) {
    QWidget* w = findWidget(name);
    requireUsable(w);
    QWidget* target = keyTarget(w);
    activate(target, Qt::MouseFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->selectAll();
    if (auto* text = qobject_cast<QTextEdit*>(target)) text->selectAll();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) plain->selectAll();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(target)) spin->selectAll();
    sendKey(target, Qt::Key_Delete, QString());
}

void pressKey(const QString& name, const QString& keyName) {
    static const QList<QPair<QString, int>> known = {
        {QStringLiteral("Enter"), Qt::Key_Return},
        {QStringLiteral("Backspace"), Qt::Key_Backspace},
        {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Escape"), Qt::Key_Escape},
        {QStringLiteral("F1"), Qt::Key_F1}};
    for (const auto& [label, key] : known) {
        if (label.compare(keyName, Qt::CaseInsensitive) != 0) continue;
        QWidget* w = findWidget(name);
        requireUsable(w);
        QWidget* target = keyTarget(w);
        activate(target, Qt::MouseFocusReason);
        const QString text = key == Qt::Key_Return   ? QStringLiteral("\r")
                             : key == Qt::Key_Tab    ? QStringLiteral("\t")
                             : key == Qt::Key_Escape ? QString(QChar(27))
                             : key == Qt::Key_F1     ? QString()
                                                     : QString(QChar(8));
        sendKey(target, key, text);
        return;
    }
    throw ScriptError{QStringLiteral("touche inconnue « %1 »").arg(keyName)};
}

// The next widget that would take the focus with Tab, other than `w` and its children.
QWidget* nextFocusable(QWidget* w) {
    for (QWidget* next = w->nextInFocusChain(); next && next != w;
         next = next->nextInFocusChain()) {
        if (next->window() == w->window() && !w->isAncestorOf(next) && next->isVisible() &&
            next->isEnabled() && (next->focusPolicy() & Qt::TabFocus))
            return next;
    }
    return nullptr;
}

// One press of Tab: the focus goes once to the next box, and the box's leave handling runs
// once, whatever it does with the focus (a handler that refuses the value puts it back).
void leaveBox(const QString& name) {
    QWidget* w = keyTarget(findWidget(name));
    requireUsable(w);
    activate(w, Qt::MouseFocusReason);
    if (!w->hasFocus()) {
        // No focus on this platform (an inactive window): the box still loses it, once.
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &out);
        return;
    }
    if (QWidget* next = nextFocusable(w))
        next->setFocus(Qt::TabFocusReason);
    else
        w->clearFocus();  // no other box to go to: the box still loses its focus
}

void clickButton(const QString& name) {
    QWidget* w = findWidget(name);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        requireUsable(button);
        activate(button, Qt::MouseFocusReason);
        button->click();
        return;
    }
    throw ScriptError{QStringLiteral("« %1 » n'est pas un bouton (%2)")
                          .arg(name, QString::fromLatin1(w->metaObject()->className()))};
}

void scrollWheel(const QString& name, const QString& steps) {
    bool ok = false;
    const int notches = steps.trimmed().toInt(&ok);
    if (!ok) throw ScriptError{QStringLiteral("nombre de crans invalide « %1 »").arg(steps)};
    QWidget* w = findWidget(name);
    requireUsable(w);
    activate(w, Qt::MouseFocusReason);
    Automation::wheel(w, notches);
}

// The entry whose text is `entry`, else the entry at that index; -1 when neither.
int entryIndex(const QStringList& entries, const QString& entry) {
    if (int i = entries.indexOf(entry); i >= 0) return i;
    bool ok = false;
    const int index = entry.toInt(&ok);
    return ok && index >= 0 && index < entries.size() ? index : -1;
}

void pickEntry(const QString& name, const QString& entry) {
    QWidget* w = findWidget(name);
    requireUsable(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const int index = entryIndex(comboEntries(combo), entry);
        if (index < 0)
            throw ScriptError{QStringLiteral("« %1 » n'a pas d'entrée « %2 »").arg(name, entry)};
        activate(combo, Qt::MouseFocusReason);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        emit combo->textActivated(combo->itemText(index));
        return;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        const int index = entryIndex(viewEntries(view), entry);
        if (index < 0)
            throw ScriptError{QStringLiteral("« %1 » n'a pas d'entrée « %2 »").arg(name, entry)};
        activate(view, Qt::MouseFocusReason);
        const QModelIndex modelIndex = view->model()->index(index, 0, view->rootIndex());
        view->setCurrentIndex(modelIndex);
        emit view->clicked(modelIndex);
        return;
    }
    throw ScriptError{QStringLiteral("« %1 » n'est pas une liste").arg(name)};
}

bool onOff(const QString& value) {
    if (value.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) return true;
    if (value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) return false;
    throw ScriptError{QStringLiteral("« on » ou « off » attendu, pas « %1 »").arg(value)};
}

void checkBox(const QString& name, const QString& value) {
    const bool wanted = onOff(value);
    QWidget* w = nullptr;
    try {
        w = findWidget(name);
    } catch (const NotYet&) {
        QAction* action = findAction(name);
        if (!action->isCheckable())
            throw ScriptError{QStringLiteral("« %1 » ne peut pas être coché").arg(name)};
        requireReachable(action, name);
        if (action->isChecked() != wanted) action->trigger();
        return;
    }
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (!button || !button->isCheckable())
        throw ScriptError{QStringLiteral("« %1 » ne peut pas être coché").arg(name)};
    requireUsable(button);
    if (button->isChecked() != wanted) {
        activate(button, Qt::MouseFocusReason);
        button->click();
    }
}

// A submenu opens as a click on its title opens it: under its title on the menu bar, or
// beside its entry in the open menu above.
void openMenu(QMenu* menu, const QString& name) {
    QAction* entry = menu->menuAction();
    requireReachable(entry, name);
    for (QObject* holder : entry->associatedObjects()) {
        if (auto* bar = qobject_cast<QMenuBar*>(holder); bar && bar->isVisible()) {
            bar->setActiveAction(entry);
            return;
        }
        if (auto* above = qobject_cast<QMenu*>(holder); above && above->isVisible()) {
            above->setActiveAction(entry);
            return;
        }
    }
    throw ScriptError{QStringLiteral("le menu au-dessus de « %1 » n'est pas ouvert").arg(name)};
}

void triggerMenu(const QString& name) {
    QAction* action = nullptr;
    try {
        action = findAction(name);
    } catch (const NotYet&) {
        for (QWidget* window : windows()) {
            if (auto* menu = window->findChild<QMenu*>(name)) return openMenu(menu, name);
        }
        throw;
    }
    requireReachable(action, name);
    action->trigger();
}

// The open window a script names, by the names `dump` gives it: its own name first, then the
// name of the widget it hosts, then its caption. Top-level windows and sub-windows alike.
QWidget* findOpenWindow(const QString& name) {
    QList<QWidget*> open;
    for (QWidget* window : windows()) {
        if (!window->isVisible()) continue;
        open.append(window);
        for (QMdiSubWindow* sub : subWindows(window)) open.append(sub);
    }
    const std::function<QString(const QWidget*)> namings[] = {
        [](const QWidget* w) { return w->objectName(); }, hostedName,
        [](const QWidget* w) { return w->windowTitle(); }};
    for (const auto& naming : namings) {
        for (QWidget* window : open) {
            if (naming(window) == name) return window;
        }
    }
    throw NotYet{QStringLiteral("aucune fenêtre ouverte nommée « %1 »").arg(name)};
}

// The close box: the window decides, and may refuse (it then stays open).
void closeWindow(const QString& name) { findOpenWindow(name)->close(); }

// How many open menus lie above this one (a submenu is drawn over the menu it opened from).
int openMenusAbove(const QMenu* menu) {
    for (const QObject* holder : menu->menuAction()->associatedObjects()) {
        const auto* above = qobject_cast<const QMenu*>(holder);
        if (above && above->isVisible()) return 1 + openMenusAbove(above);
    }
    return 0;
}

// A window as drawn now with the open menus over it, as the user sees them.
QPixmap withOpenMenus(QWidget* window) {
    QList<QMenu*> open;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) open.append(menu);
    }
    std::stable_sort(open.begin(), open.end(), [](const QMenu* a, const QMenu* b) {
        return openMenusAbove(a) < openMenusAbove(b);
    });
    QPixmap picture = window->grab();
    QPainter painter(&picture);
    for (QMenu* menu : open) painter.drawPixmap(window->mapFromGlobal(menu->pos()), menu->grab());
    return picture;
}

// A dialog as drawn now with its title bar, which a grab leaves out (the window system draws
// it): the dialog is drawn into the frame of a sub-window of its size and caption.
QPixmap withTitleBar(QWidget* dialog) {
    QMdiArea area;
    area.setAttribute(Qt::WA_DontShowOnScreen);
    auto* inside = new QWidget;
    inside->setFixedSize(dialog->size());
    QMdiSubWindow* frame = area.addSubWindow(inside);
    frame->setWindowTitle(dialog->windowTitle());
    frame->setWindowIcon(dialog->windowIcon());
    area.show();
    frame->adjustSize();
    frame->move(0, 0);
    area.resize(frame->size());
    area.setActiveSubWindow(frame);
    QPixmap picture = frame->grab();
    QPainter painter(&picture);
    painter.drawPixmap(inside->mapTo(frame, QPoint(0, 0)), dialog->grab());
    return picture;
}

// A picture of an open window as it is drawn now, for the user guide's screenshots.
void captureWindow(const QString& file, const QString& name) {
    if (file.isEmpty() || name.isEmpty())
        throw ScriptError{QStringLiteral("« capture » demande un fichier et une fenêtre")};
    QWidget* window = findOpenWindow(name);
    const QPixmap picture = qobject_cast<QDialog*>(window) && window->isWindow()
                                ? withTitleBar(window)
                                : withOpenMenus(window);
    if (!picture.save(file))
        throw ScriptError{QStringLiteral("capture impossible dans « %1 »").arg(file)};
}

void queueAnswer(const QString& value) {
    MsgAnswer answer;
    if (!msgAnswerFromName(value, &answer))
        throw ScriptError{QStringLiteral("réponse inconnue « %1 »").arg(value)};
    scriptedMessages()->queueAnswer(answer);
}

void queuePrinter(const QString& name) {
    if (name.compare(QLatin1String("cancel"), Qt::CaseInsensitive) == 0) {
        scriptedDialogues()->queuePrinter(-1);
        return;
    }
    const int index = PrinterCatalogue::indexOf(name);
    if (index < 0) throw ScriptError{QStringLiteral("imprimante inconnue « %1 »").arg(name)};
    scriptedDialogues()->queuePrinter(index);
}

void queueCopies(const QString& value) {
    bool ok = false;
    const int copies = value.toInt(&ok);
    if (!ok || copies < 0)
        throw ScriptError{QStringLiteral("nombre d'exemplaires invalide « %1 »").arg(value)};
    scriptedDialogues()->queueCopies(copies);
}

}  // namespace

void Automation::wheel(QWidget* widget, int notches) {
    const QPoint middle = widget->rect().center();
    QWidget* target = widget->childAt(middle);
    if (!target) target = widget;
    const QPointF at = target->mapFrom(widget, middle);
    const QPoint notch(0, notches < 0 ? 120 : -120);
    for (int i = 0; i < qAbs(notches); ++i) {
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), notch, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &event);
    }
}

QCommandLineOption Automation::scriptOption() {
    return QCommandLineOption(QStringList{QStringLiteral("script")},
                              QStringLiteral("Exécute les actions du fichier (automatisation)."),
                              QStringLiteral("FILE"));
}

void Automation::run(const QString& path) {
    if (!automationMode()) installPlatform(true);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "%s: impossible de lire le script\n", qPrintable(path));
        std::fflush(stderr);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(2); });
        return;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    auto* automation = new Automation(lines, path, qApp);
    automation->start();
}

Automation::Automation(const QStringList& lines, const QString& scriptName, QObject* parent)
    : QObject(parent), lines_(lines), scriptName_(scriptName) {}

void Automation::start() { QTimer::singleShot(0, this, &Automation::step); }

QJsonObject Automation::dumpWindows() { return automation::dumpWindows(); }

// Runs the next action when the previous one is over. An action that opens a modal dialog
// does not return until the dialog closes: the next actions then run inside the dialog's own
// event loop, which is how a user answers it. Every step schedules exactly one next step,
// with a timer of its own, so that the chain goes on inside a nested event loop.
void Automation::step() {
    if (done_) return;
    QTimer::singleShot(1, this, &Automation::step);
    if (depth_ > 0) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == modalAtStart_) return;
    }
    if (nowMs() < resumeAt_) return;
    if (next_ >= lines_.size()) {
        finish(0);
        return;
    }
    const int index = next_++;
    const QString line = lines_.at(index).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) return;
    ++depth_;
    QWidget* outerModal = modalAtStart_;
    modalAtStart_ = QApplication::activeModalWidget();
    try {
        perform(line);
        retrySince_ = 0;
    } catch (const NotYet& notYet) {
        next_ = index;
        if (retrySince_ == 0) retrySince_ = nowMs();
        if (nowMs() - retrySince_ > notFoundWaitMs()) {
            next_ = index + 1;
            fail(notYet.what);
        }
    } catch (const ScriptError& error) {
        next_ = index + 1;
        fail(error.message);
    }
    modalAtStart_ = outerModal;
    --depth_;
}

void Automation::perform(const QString& line) {
    static const QRegularExpression pattern(QStringLiteral("^(\\S+)(?:\\s+(\\S+)(?: (.*))?)?$"));
    const QRegularExpressionMatch m = pattern.match(line);
    const QString action = m.captured(1).toLower();
    const QString name = m.captured(2);
    const QString rest = m.captured(3);
    auto requireName = [&] {
        if (name.isEmpty()) throw ScriptError{QStringLiteral("« %1 » demande un nom").arg(action)};
    };
    if (action == QLatin1String("dump")) {
        writeJsonLine(dumpWindows());
        return;
    }
    requireName();
    if (action == QLatin1String("type")) return typeText(name, rest);
    if (action == QLatin1String("clear")) return clearBox(name);
    if (action == QLatin1String("key")) return pressKey(name, rest.trimmed());
    if (action == QLatin1String("leave")) return leaveBox(name);
    if (action == QLatin1String("click")) return clickButton(name);
    if (action == QLatin1String("pick")) return pickEntry(name, rest);
    if (action == QLatin1String("check")) return checkBox(name, rest.trimmed());
    if (action == QLatin1String("scroll")) return scrollWheel(name, rest);
    if (action == QLatin1String("menu")) return triggerMenu(name);
    if (action == QLatin1String("close"))
        return closeWindow(line.section(QLatin1Char(' '), 1).trimmed());
    if (action == QLatin1String("capture")) return captureWindow(name, rest.trimmed());
    if (action == QLatin1String("answer")) return queueAnswer(name);
    if (action == QLatin1String("printer"))
        return queuePrinter(line.section(QLatin1Char(' '), 1).trimmed());
    if (action == QLatin1String("copies")) return queueCopies(name);
    if (action == QLatin1String("wait")) {
        bool ok = false;
        const int ms = name.toInt(&ok);
        if (!ok || ms < 0) throw ScriptError{QStringLiteral("durée invalide « %1 »").arg(name)};
        resumeAt_ = nowMs() + ms;
        return;
    }
    throw ScriptError{QStringLiteral("action inconnue « %1 »").arg(action)};
}

void Automation::fail(const QString& message) {
    std::fprintf(stderr, "%s:%d: %s\n", qPrintable(scriptName_), next_, qPrintable(message));
    std::fflush(stderr);
    finish(2);
}

void Automation::finish(int exitCode) {
    done_ = true;
    std::fflush(stdout);
    emit finished(exitCode);
    QCoreApplication::exit(exitCode);
}

}  // namespace orv
