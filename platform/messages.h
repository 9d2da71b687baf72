// Message boxes through one service: Qt's message box in use, a scripted one in tests and
// automation. Styles are the classic sums of an icon and a button set: 48 exclamation,
// 16 critical, 64 information, 35 = question (32) with Yes, No and Cancel (3).
#pragma once

#include <QString>

namespace orv {

inline const QString kTitreMessage = QStringLiteral("Message ORVANELLE");

enum MsgStyle : int {
    MsgOk = 0,
    MsgOkCancel = 1,
    MsgYesNoCancel = 3,
    MsgYesNo = 4,
    MsgCritical = 16,
    MsgQuestion = 32,
    MsgExclamation = 48,
    MsgInformation = 64,
};

enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual MsgAnswer show(const QString& text, int style, const QString& title) = 0;

    // The service in use; a Qt message box service unless another one was installed.
    static MessageService& current();
    static void install(MessageService* service);
};

// Shows a modal message box through the current service.
inline MsgAnswer MsgBox(const QString& text, int style, const QString& title = kTitreMessage) {
    return MessageService::current().show(text, style, title);
}

}  // namespace orv
