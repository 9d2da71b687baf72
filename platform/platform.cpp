#include "platform/platform.h"

#include <QFileDialog>
#include <QJsonDocument>
#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "platform/dialogs.h"
#include "platform/json_output.h"
#include "platform/message_services.h"
#include "platform/print_catalogue.h"
#include "platform/printer.h"

namespace orv {

namespace {

bool g_automation = false;
std::unique_ptr<ScriptedMessageService> g_scriptedMessages;
std::unique_ptr<ScriptedDialogues> g_scriptedDialogs;
std::unique_ptr<QtMessageService> g_qtMessages;
std::unique_ptr<QtDialogues> g_qtDialogs;

QJsonObject messageJson(const ShownMessage& shown) {
    QJsonObject o{{QStringLiteral("message"), shown.text},
                  {QStringLiteral("title"), shown.title},
                  {QStringLiteral("icon"), shown.icon},
                  {QStringLiteral("buttons"), shown.buttons},
                  {QStringLiteral("answer"), msgAnswerName(shown.answer)}};
    if (shown.byDefault) o[QStringLiteral("default")] = true;
    if (shown.refused) o[QStringLiteral("refused")] = true;
    return o;
}

QString askPdfFile(const QString& proposed) {
    return QFileDialog::getSaveFileName(nullptr, QStringLiteral("Enregistrer en PDF"), proposed,
                                        QStringLiteral("Documents PDF (*.pdf)"));
}

}  // namespace

void writeJsonLine(const QJsonObject& object) {
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void installPlatform(bool automation) {
    installFontSubstitutes();
    g_automation = automation;
    if (automation) {
        g_scriptedMessages = std::make_unique<ScriptedMessageService>();
        g_scriptedMessages->setObserver(
            [](const ShownMessage& shown) { writeJsonLine(messageJson(shown)); });
        g_scriptedDialogs = std::make_unique<ScriptedDialogues>();
        g_scriptedDialogs->setObserver([](const QString& dialog, const QString& answer,
                                          bool byDefault) {
            QJsonObject o{{QStringLiteral("dialog"), dialog}, {QStringLiteral("answer"), answer}};
            if (byDefault) o[QStringLiteral("default")] = true;
            writeJsonLine(o);
        });
        MessageService::install(g_scriptedMessages.get());
        OutilsCommuns::installDialogues(g_scriptedDialogs.get());
        setPdfFileChooser(nullptr);
        return;
    }
    g_qtMessages = std::make_unique<QtMessageService>();
    g_qtDialogs = std::make_unique<QtDialogues>();
    MessageService::install(g_qtMessages.get());
    OutilsCommuns::installDialogues(g_qtDialogs.get());
    setPdfFileChooser(askPdfFile);
}

bool automationMode() { return g_automation; }

bool asksForHelp(int argc, char** argv) {
    const std::array<std::string_view, 4> asks = {"-h", "--help", "--help-all", "-?"};
    for (int i = 1; i < argc; ++i)
        if (std::find(asks.begin(), asks.end(), argv[i]) != asks.end()) return true;
    return false;
}

ScriptedMessageService* scriptedMessages() {
    return g_automation ? g_scriptedMessages.get() : nullptr;
}

ScriptedDialogues* scriptedDialogues() { return g_automation ? g_scriptedDialogs.get() : nullptr; }

}  // namespace orv
