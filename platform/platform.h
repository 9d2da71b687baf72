// Start-up of the desktop platform: font substitutions for the printed layouts, the message
// service and the utility object's dialogs (Qt ones, or scripted ones in automation).
#pragma once

namespace orv {

class ScriptedMessageService;
class ScriptedDialogues;

void installPlatform(bool automation);
bool automationMode();
// The scripted services installed in automation mode; null otherwise.
ScriptedMessageService* scriptedMessages();
ScriptedDialogues* scriptedDialogues();

}  // namespace orv
