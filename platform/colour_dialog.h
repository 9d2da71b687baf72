// The colour picker of the parameter windows: Qt's colour dialog in use; in automation and
// tests no dialog (it would never return headless): the answer is "cancel", written as a JSON
// line like the other dialogs, and a script types the colour in its box instead.
#pragma once

#include <QColor>
#include <optional>

class QWidget;

namespace orv {

// The colour chosen, or nothing when the user cancels.
std::optional<QColor> chooseColour(const QColor& initial, QWidget* parent);

}  // namespace orv
