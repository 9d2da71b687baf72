// Automation output: one compact JSON object a line on standard output, flushed at once.
#pragma once

#include <QJsonObject>

namespace orv {

void writeJsonLine(const QJsonObject& object);

}  // namespace orv
