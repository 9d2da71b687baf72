#include "platform/automation_dump.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "platform/automation_tree.h"

namespace orv::automation {

namespace {

QString widgetText(const QWidget* w) {
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->currentText();
    if (auto* text = qobject_cast<const QTextEdit*>(w)) return text->toPlainText();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w)) return plain->toPlainText();
    if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) return spin->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w)) return group->title();
    if (w->isWindow()) return w->windowTitle();
    return QString();
}

QJsonArray tableRows(const QAbstractItemView* view) {
    QJsonArray rows;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
        QJsonArray row;
        for (int c = 0; c < model->columnCount(view->rootIndex()); ++c)
            row.append(model->index(r, c, view->rootIndex()).data().toString());
        rows.append(row);
    }
    return rows;
}

// The selected row of a list (the first one when several are), -1 when none is.
int selectedRow(const QAbstractItemView* view) {
    const QItemSelectionModel* selection = view->selectionModel();
    if (!selection) return -1;
    int first = -1;
    for (const QModelIndex& index : selection->selectedIndexes()) {
        if (index.parent() == view->rootIndex() && (first < 0 || index.row() < first))
            first = index.row();
    }
    return first;
}

QJsonArray columnHeadings(const QAbstractItemView* view) {
    QJsonArray headings;
    const QAbstractItemModel* model = view->model();
    for (int c = 0; c < model->columnCount(view->rootIndex()); ++c)
        headings.append(model->headerData(c, Qt::Horizontal).toString());
    return headings;
}

void describeList(const QAbstractItemView* view, QJsonObject& o) {
    const int columns = view->model()->columnCount(view->rootIndex());
    if (columns > 1) {
        o[QStringLiteral("rows")] = tableRows(view);
        o[QStringLiteral("columns")] = columnHeadings(view);
    } else {
        o[QStringLiteral("items")] = QJsonArray::fromStringList(viewEntries(view));
    }
    o[QStringLiteral("index")] = view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    o[QStringLiteral("selected")] = selectedRow(view);
    // The row shown at the top (-1 for an empty list): what scrolling moves.
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    o[QStringLiteral("firstVisible")] = top.isValid() ? top.row() : -1;
}

// A submenu as its entry in the menu above shows it: greyed or hidden there. A menu that no
// other menu holds (a context menu) is described as the widget it is.
void describeSubmenu(const QMenu* menu, QJsonObject& o) {
    const QAction* entry = menu->menuAction();
    if (entry->associatedObjects().isEmpty()) return;
    o[QStringLiteral("text")] = menu->title();
    o[QStringLiteral("enabled")] = entry->isEnabled();
    o[QStringLiteral("visible")] = entry->isVisible();
    o[QStringLiteral("reachable")] = !barrierTo(entry, menu->objectName());
}

QJsonObject describeWidget(const QWidget* w) {
    QJsonObject o;
    o[QStringLiteral("name")] = w->objectName();
    o[QStringLiteral("class")] = QString::fromLatin1(w->metaObject()->className());
    o[QStringLiteral("text")] = widgetText(w);
    o[QStringLiteral("enabled")] = w->isEnabled();
    o[QStringLiteral("visible")] = w->isVisibleTo(w->window()) && w->window()->isVisible();
    if (auto* menu = qobject_cast<const QMenu*>(w)) describeSubmenu(menu, o);
    if (auto* slider = qobject_cast<const QAbstractSlider*>(w)) {
        o[QStringLiteral("value")] = slider->value();
        o[QStringLiteral("minimum")] = slider->minimum();
        o[QStringLiteral("maximum")] = slider->maximum();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w); button && button->isCheckable())
        o[QStringLiteral("checked")] = button->isChecked();
    if (auto* group = qobject_cast<const QGroupBox*>(w); group && group->isCheckable())
        o[QStringLiteral("checked")] = group->isChecked();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        o[QStringLiteral("items")] = QJsonArray::fromStringList(comboEntries(combo));
        o[QStringLiteral("index")] = combo->currentIndex();
    }
    if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model())
        describeList(view, o);
    return o;
}

QJsonObject describeAction(const QAction* a) {
    QJsonObject o;
    o[QStringLiteral("name")] = a->objectName();
    o[QStringLiteral("class")] = QStringLiteral("QAction");
    o[QStringLiteral("text")] = a->text();
    o[QStringLiteral("enabled")] = a->isEnabled();
    o[QStringLiteral("visible")] = a->isVisible();
    o[QStringLiteral("reachable")] = !barrierTo(a, a->objectName());
    if (a->isCheckable()) o[QStringLiteral("checked")] = a->isChecked();
    return o;
}

QJsonObject describeWindow(QWidget* window) {
    QJsonObject o;
    o[QStringLiteral("name")] = window->objectName();
    o[QStringLiteral("class")] = QString::fromLatin1(window->metaObject()->className());
    o[QStringLiteral("caption")] = window->windowTitle();
    o[QStringLiteral("icon")] = !window->windowIcon().isNull();
    QWidget* focus = window->focusWidget();
    o[QStringLiteral("focus")] = focus ? focus->objectName() : QString();
    QJsonArray widgets;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (isNamed(w)) widgets.append(describeWidget(w));
    }
    for (const QAction* a : window->findChildren<QAction*>()) {
        if (isNamed(a)) widgets.append(describeAction(a));
    }
    o[QStringLiteral("widgets")] = widgets;
    QJsonArray subs;
    for (const QMdiSubWindow* sub : subWindows(window)) {
        subs.append(QJsonObject{{QStringLiteral("name"), sub->objectName()},
                                {QStringLiteral("widget"), hostedName(sub)},
                                {QStringLiteral("caption"), sub->windowTitle()}});
    }
    if (!subs.isEmpty()) o[QStringLiteral("subwindows")] = subs;
    return o;
}

}  // namespace

QJsonObject dumpWindows() {
    QJsonArray list;
    for (QWidget* window : windows()) {
        if (window->isVisible()) list.append(describeWindow(window));
    }
    // The desktop entry the windows belong to, and their window class (the application name).
    return QJsonObject{{QStringLiteral("windows"), list},
                       {QStringLiteral("desktopFile"), QGuiApplication::desktopFileName()},
                       {QStringLiteral("windowClass"), QCoreApplication::applicationName()}};
}

}  // namespace orv::automation
