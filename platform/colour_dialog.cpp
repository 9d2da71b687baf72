#include "platform/colour_dialog.h"

#include <QColorDialog>
#include <QJsonObject>

#include "platform/json_output.h"
#include "platform/platform.h"

namespace orv {

std::optional<QColor> chooseColour(const QColor& initial, QWidget* parent) {
    if (automationMode()) {
        writeJsonLine({{QStringLiteral("dialog"), QStringLiteral("colour")},
                       {QStringLiteral("answer"), QStringLiteral("cancel")},
                       {QStringLiteral("default"), true}});
        return std::nullopt;
    }
    const QColor chosen = QColorDialog::getColor(initial, parent, QStringLiteral("Couleur"));
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

}  // namespace orv
