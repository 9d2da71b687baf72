// The automation's dump: the state of every named widget of the open windows as JSON (text,
// enabled, visible, checked, list entries and rows, selection, first visible row), with the
// windows' captions, focus and MDI sub-windows.
#pragma once

#include <QJsonObject>

namespace orv::automation {

QJsonObject dumpWindows();

}  // namespace orv::automation
