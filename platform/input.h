// The original's input events mapped onto Qt, in one place.
//
// KeyPress: the handler receives the character code of the key by reference (Enter 13,
// Backspace 8, Escape 27, a printable character by its code, Ctrl+letter by its control code)
// and may set it to 0 to swallow the key, or to another code to type that character instead.
// Keys that produce no character (arrows, Delete, Home, function keys, Tab) never reach it.
// Several handlers on one widget run in the order they were installed, until one swallows.
//
// LostFocus: runs when the focus leaves the widget for another widget of the application;
// focus lost to another window, a pop-up or a message box does not count.
#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace orv {

namespace keys {
// The control characters that Ctrl with a letter types.
inline constexpr int CtrlA = 1;
inline constexpr int CtrlC = 3;
inline constexpr int Backspace = 8;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
}  // namespace keys

using KeyPressHandler = std::function<void(int& keyAscii)>;
using LostFocusHandler = std::function<void()>;

void onKeyPress(QWidget* widget, KeyPressHandler handler);
void onLostFocus(QWidget* widget, LostFocusHandler handler);

// `text` preceded by as many `fill` characters as it lacks to reach `length` characters;
// a text already that long is returned unchanged.
QString padLeft(const QString& text, int length, QChar fill = QLatin1Char('0'));

// Digits 0-9 and Backspace pass; every other key is swallowed.
void filterDigits(int& keyAscii);
// Amount typing for `box`: digits and Backspace pass, a point becomes a comma, a comma passes
// only when the box holds none yet (or the selection being replaced holds it); others swallowed.
void filterAmount(const QLineEdit* box, int& keyAscii);

// A numeric code box of fixed length (`length` 0 = the box's maximum length): digits only,
// Enter left-pads with "0" to the length and is swallowed, and leaving the box with a shorter
// non-empty text left-pads it the same way.
void installCodeBox(QLineEdit* box, int length = 0);
// An amount box: filterAmount on every key.
void installAmountBox(QLineEdit* box);
// The utility object's FormaterZone: the amount in the box, formatted as FormaterMontant does
// (an empty text for no box).
QString FormaterZone(const QLineEdit* box, int integerDigits, int decimals);

}  // namespace orv
