// What the application's windows hold, as a script sees them: the named widgets, the windows
// and MDI sub-windows, list entries, and what keeps a user from a menu entry. Shared by the
// automation's actions and its dump.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QAbstractItemView;
class QAction;
class QComboBox;
class QMdiSubWindow;
class QObject;
class QWidget;

namespace orv::automation {

// A widget or action a script may name (not Qt's own, not the program's internal ones).
bool isNamed(const QObject* object);
// The application's windows, the visible ones first, without pop-up menus and tool tips.
QList<QWidget*> windows();
QStringList comboEntries(const QComboBox* combo);
QStringList viewEntries(const QAbstractItemView* view);
// The MDI sub-windows shown inside a window, in the order of their area.
QList<QMdiSubWindow*> subWindows(const QWidget* window);
// The name of the widget a window hosts (the control inside an MDI sub-window); empty for
// any other window.
QString hostedName(const QWidget* window);

// What keeps a user from a menu entry: the entry itself or a menu above it, hidden or greyed.
struct Barrier {
    QString name;
    bool hidden = false;
};

// An entry is reached through one of the menus holding it, and a submenu through its own entry
// in the menu above; an entry on a menu bar or a tool bar, or in a menu that no other menu
// holds (a context menu), is at the top. Nothing when the user can reach the entry.
std::optional<Barrier> barrierTo(const QAction* action, const QString& name);

}  // namespace orv::automation
