// Long work on the user-interface thread: the hourglass pointer, the window disabled, and one
// message-pump pass when the work ends.
#pragma once

#include <QPointer>
#include <QWidget>

namespace orv {

// Pointer 11: the hourglass, until restoreCursor().
void showHourglass();
// Pointer 0: the default pointer again (removes every hourglass that was set).
void restoreCursor();
// Lets pending window messages run once (one message-pump pass).
void pumpMessages();

// The hourglass for the lifetime of a scope.
class Hourglass {
  public:
    Hourglass() { showHourglass(); }
    ~Hourglass() { restoreCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// Busy for the lifetime of a scope: the hourglass and `widget` disabled; at the end, however
// the scope is left (an exception included), one message-pump pass, the widget enabled again
// and the default pointer. With KeepFocus, the widget that had the focus inside `widget` gets
// it back (disabling a window takes the focus away from the box being typed in).
class BusyScope {
  public:
    enum Focus { LeaveFocus, KeepFocus };
    explicit BusyScope(QWidget* widget, Focus focus = LeaveFocus);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    QPointer<QWidget> widget_;
    QPointer<QWidget> focus_;
};

}  // namespace orv
