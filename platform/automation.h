// The automation driver: `--script FILE` runs a plain-text list of user actions on the named
// widgets of the application's windows, one action a line (blank lines and # comments ignored):
//
//   type NAME TEXT       key presses at the end of the box's text, through its key filters
//   clear NAME           select all and delete
//   key NAME Enter|Backspace|Tab|Escape|F1
//   leave NAME           one press of Tab: the focus goes to the next box (or, with none, just
//                        leaves this one); the box's leave handling runs once, even when it
//                        puts the focus back in the box
//   click NAME           a button, check box or option button
//   pick NAME ENTRY      a list or combo entry as a user's click: an entry whose text is ENTRY,
//                        else the entry at index ENTRY (from 0); the first column of a list
//   check NAME on|off    tick or untick a check box (or a checkable menu entry)
//   scroll NAME STEPS    STEPS notches of the mouse wheel with the pointer over the middle of
//                        the widget: positive scrolls towards the end, negative back
//   menu NAME            a menu entry (QAction) by name; a submenu's name opens it, as a click
//                        on its title does (the menu above it must be open, or a menu bar's)
//   close WINDOW         the close box of an open window: a top-level window or an MDI
//                        sub-window, named as `dump` names it (its name, else the name of the
//                        widget it hosts, else its caption, which may hold spaces). A window
//                        that refuses to close stays open and the script goes on, as for a user.
//   capture FILE WINDOW  a PNG picture of an open window (named as for `close`) as drawn now,
//                        with the menus open over it; a dialog with its title bar
//   answer Yes|No|Cancel|OK   the answer of the next message box
//   printer NAME|cancel  the answer of the next printer-choice dialog (a catalogue name)
//   copies N             the answer of the next copies dialog
//   dump                 one JSON line: the open windows and their named widgets
//   wait MS              let the application run for MS milliseconds
//
// `dump` writes {"windows": [...]}, each window {"name", "class", "caption", "focus",
// "widgets": [...]} and, when MDI sub-windows are open inside it, "subwindows": [{"name",
// "widget" (the hosted widget's name), "caption"}]. Each widget or menu entry has "name",
// "class", "text", "enabled", "visible", and by kind:
//   check box, option button, checkable group or entry   "checked"
//   combo box            "items" (every entry), "index" (the current one, -1 for none)
//   list, tree, table    one column: "items"; several: "rows" (each row, the text of each
//                        column) and "columns" (the headings); "index" (the current row) and
//                        "selected" (the selected row; the first one when several; -1 for none)
//                        and "firstVisible" (the row shown at the top; -1 when empty)
//   scroll bar, slider   "value", "minimum", "maximum"
//   menu entry           "reachable": the user can get to it (it and every menu above it are
//                        enabled and shown)
//   submenu              as its entry in the menu above shows it: "text" its title, "enabled"
//                        and "visible" the state of that entry (greyed or hidden), "reachable"
//
// Every message box is written to standard output as one JSON line ({"message", "title",
// "icon", "buttons", "answer", and "default": true when no answer was queued); so is every
// printer or copies dialog ({"dialog", "answer", "default"}). An unknown widget or action, or
// an action a user could not do (a disabled or hidden widget; a menu entry that is disabled,
// hidden, or under a disabled or hidden submenu), stops the script with a message on standard
// error naming the line, and the application exits with code 2. After the last action the
// application exits with code 0, whatever windows are still open.
#pragma once

#include <QCommandLineOption>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

namespace orv {

class Automation : public QObject {
    Q_OBJECT
  public:
    // The `--script FILE` option for a program's command line.
    static QCommandLineOption scriptOption();

    // Starts the script once the event loop runs (call it after the first window is shown);
    // the application then ends with the script's exit code. A script that cannot be read
    // ends the application with code 2 at once.
    static void run(const QString& path);

    Automation(const QStringList& lines, const QString& scriptName, QObject* parent = nullptr);
    void start();

    // `notches` notches of the mouse wheel with the pointer over the middle of `widget`, one
    // event a notch, sent to what lies under the pointer there (a list's viewport): positive
    // towards the end, negative back. What `scroll` does.
    static void wheel(QWidget* widget, int notches);

    // What `dump` writes: {"windows": [{"name", "caption", "widgets": [...]}, ...]}.
    static QJsonObject dumpWindows();

  signals:
    void finished(int exitCode);

  private:
    void step();
    void perform(const QString& line);
    void fail(const QString& message);
    void finish(int exitCode);

    QStringList lines_;
    QString scriptName_;
    int next_ = 0;
    int depth_ = 0;
    qint64 resumeAt_ = 0;
    qint64 retrySince_ = 0;
    QWidget* modalAtStart_ = nullptr;
    bool done_ = false;
};

}  // namespace orv
