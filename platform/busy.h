// Long work on the user-interface thread: the hourglass pointer and one message-pump pass.
#pragma once

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

}  // namespace orv
