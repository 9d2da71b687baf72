// The two message services: Qt's message box for interactive use, and a scripted one for tests
// and automation that records every message and answers from a queue.
#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

#include "platform/messages.h"

namespace orv {

// The icon part of a style (16, 32, 48 or 64; 0 when none) and its button part (0 to 5).
int msgIcon(int style);
int msgButtons(int style);
// The answer the user gets by pressing Enter: the first button of the set.
MsgAnswer msgDefaultAnswer(int style);
// Whether an answer is one of the buttons of the style.
bool msgAnswerAllowed(int style, MsgAnswer answer);
// "Yes", "No", "Cancel" or "OK".
QString msgAnswerName(MsgAnswer answer);
// Reads "Yes", "No", "Cancel", "OK" (case-insensitive; "Oui", "Non", "Annuler" too).
bool msgAnswerFromName(const QString& name, MsgAnswer* answer);

// Qt's message box with French buttons "Oui", "Non", "Annuler", "OK".
class QtMessageService : public MessageService {
  public:
    MsgAnswer show(const QString& text, int style, const QString& title) override;
};

// One message box as the scripted service saw it.
struct ShownMessage {
    QString text;
    QString title;
    int icon = 0;
    int buttons = 0;
    MsgAnswer answer = MsgAnswer::Ok;
    bool byDefault = false;  // no answer was queued: the default button was taken
    bool refused = false;    // the queued answer was not one of the buttons: default taken
};

// Answers message boxes from a queue; with an empty queue takes the default (first) button.
class ScriptedMessageService : public MessageService {
  public:
    MsgAnswer show(const QString& text, int style, const QString& title) override;

    void queueAnswer(MsgAnswer answer) { answers_.enqueue(answer); }
    const QList<ShownMessage>& shown() const { return shown_; }
    void clear();
    // Called for every message after its answer is known (automation writes it out).
    void setObserver(std::function<void(const ShownMessage&)> observer) {
        observer_ = std::move(observer);
    }

  private:
    QQueue<MsgAnswer> answers_;
    QList<ShownMessage> shown_;
    std::function<void(const ShownMessage&)> observer_;
};

// Installs a service for the lifetime of a scope, then puts the previous one back.
class ScopedMessageService {
  public:
    explicit ScopedMessageService(MessageService* service);
    ~ScopedMessageService();
    ScopedMessageService(const ScopedMessageService&) = delete;
    ScopedMessageService& operator=(const ScopedMessageService&) = delete;

  private:
    MessageService* previous_;
};

}  // namespace orv
