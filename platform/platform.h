// Start-up of the desktop platform: font substitutions for the printed layouts, the message
// service and the utility object's dialogs (Qt ones, or scripted ones in automation).
#pragma once

namespace orv {

class ScriptedMessageService;
class ScriptedDialogues;

void installPlatform(bool automation);
// True when the command line asks for the usage (-h, --help, --help-all, -?). A program
// answers it before it creates its QApplication, so that the usage needs no display.
bool asksForHelp(int argc, char** argv);
bool automationMode();
// The scripted services installed in automation mode; null otherwise.
ScriptedMessageService* scriptedMessages();
ScriptedDialogues* scriptedDialogues();

}  // namespace orv
