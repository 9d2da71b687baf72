#include "platform/automation_tree.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QMenu>
#include <QWidget>

namespace orv::automation {

bool isNamed(const QObject* object) {
    const QString name = object->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
           !name.startsWith(QLatin1String("orv_"));
}

QList<QWidget*> windows() {
    QList<QWidget*> visible;
    QList<QWidget*> hidden;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
        (w->isVisible() ? visible : hidden).append(w);
    }
    return visible + hidden;
}

std::optional<Barrier> barrierTo(const QAction* action, const QString& name) {
    if (!action->isVisible()) return Barrier{name, true};
    if (!action->isEnabled()) return Barrier{name, false};
    std::optional<Barrier> barrier;
    for (const QObject* holder : action->associatedObjects()) {
        const auto* menu = qobject_cast<const QMenu*>(holder);
        if (!menu) return std::nullopt;
        barrier = barrierTo(menu->menuAction(), menu->objectName());
        if (!barrier) return std::nullopt;
    }
    return barrier;
}

QStringList comboEntries(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
}

QStringList viewEntries(const QAbstractItemView* view) {
    QStringList entries;
    if (!view->model()) return entries;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
        entries << view->model()->index(r, 0, view->rootIndex()).data().toString();
    return entries;
}

QList<QMdiSubWindow*> subWindows(const QWidget* window) {
    QList<QMdiSubWindow*> shown;
    for (QMdiSubWindow* sub : window->findChildren<QMdiSubWindow*>()) {
        if (sub->isVisible()) shown.append(sub);
    }
    return shown;
}

QString hostedName(const QWidget* window) {
    const auto* sub = qobject_cast<const QMdiSubWindow*>(window);
    return sub && sub->widget() ? sub->widget()->objectName() : QString();
}

}  // namespace orv::automation
