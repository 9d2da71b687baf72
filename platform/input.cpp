#include "platform/input.h"

#include "client/outils_communs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <vector>

namespace orv {

namespace {

// The character code a key press hands to KeyPress handlers, or 0 for keys that have none.
int keyAsciiOf(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return keys::Enter;
        case Qt::Key_Backspace:
            return keys::Backspace;
        case Qt::Key_Escape:
            return keys::Escape;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return 0;
        default:
            break;
    }
    // Ctrl with a letter types its control character (Ctrl+A = 1 ... Ctrl+Z = 26), whatever
    // text the window system gave the event.
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QString text = event->text();
    if (text.isEmpty() || text.at(0) == QChar(0x7f)) return 0;
    return text.at(0).unicode();
}

// The Qt key that types `code`, for a replacement key press.
int qtKeyOf(int code) {
    switch (code) {
        case keys::Enter:
            return Qt::Key_Return;
        case keys::Backspace:
            return Qt::Key_Backspace;
        case keys::Escape:
            return Qt::Key_Escape;
        default:
            break;
    }
    const QChar c(code);
    return c.isLetterOrNumber() ? int(c.toUpper().unicode()) : code;
}

class InputHook : public QObject {
  public:
    explicit InputHook(QWidget* widget) : QObject(widget) {
        setObjectName(QStringLiteral("orv_input_hook"));
        widget->installEventFilter(this);
    }

    static InputHook* of(QWidget* widget) {
        if (auto* hook = widget->findChild<InputHook*>(QStringLiteral("orv_input_hook"),
                                                       Qt::FindDirectChildrenOnly))
            return hook;
        return new InputHook(widget);
    }

    std::vector<KeyPressHandler> keyPress;
    std::vector<LostFocusHandler> lostFocus;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && !replaying_ && !keyPress.empty())
            return filterKey(watched, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut) onFocusOut(static_cast<QFocusEvent*>(event));
        return false;
    }

  private:
    bool filterKey(QObject* watched, QKeyEvent* event) {
        const int original = keyAsciiOf(event);
        if (original == 0) return false;
        int code = original;
        QPointer<QObject> guard(this);
        for (std::size_t i = 0; i < keyPress.size() && code != 0; ++i) {
            KeyPressHandler handler = keyPress[i];  // a handler may install others
            handler(code);
            if (!guard) return true;  // the widget went away with its handlers
        }
        if (code == original) return false;
        if (code != 0) replay(watched, event, code);
        return true;
    }

    // Types `code` in place of the key that was pressed.
    void replay(QObject* watched, const QKeyEvent* event, int code) {
        QKeyEvent replacement(QEvent::KeyPress, qtKeyOf(code), event->modifiers(),
                              code == keys::Backspace ? QString() : QString(QChar(code)));
        replaying_ = true;
        QCoreApplication::sendEvent(watched, &replacement);
        replaying_ = false;
    }

    void onFocusOut(const QFocusEvent* event) {
        if (event->reason() == Qt::ActiveWindowFocusReason ||
            event->reason() == Qt::PopupFocusReason)
            return;
        // Focus taken away because the box (or the window around it) was disabled for a moment:
        // the user did not leave the box.
        if (!static_cast<QWidget*>(parent())->isEnabled()) return;
        if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != parent() &&
            !QApplication::activeModalWidget()->isAncestorOf(static_cast<QWidget*>(parent())))
            return;
        QPointer<QObject> guard(this);
        const std::vector<LostFocusHandler> handlers = lostFocus;
        for (const auto& handler : handlers) {
            handler();
            if (!guard) return;
        }
    }

    bool replaying_ = false;
};

int codeLength(const QLineEdit* box, int length) { return length > 0 ? length : box->maxLength(); }

// Pads the box's text, changing it (and so firing its change handlers) only when it is short.
void padBox(QLineEdit* box, int length) {
    const QString padded = padLeft(box->text(), codeLength(box, length));
    if (padded != box->text()) box->setText(padded);
}

}  // namespace

void onKeyPress(QWidget* widget, KeyPressHandler handler) {
    InputHook::of(widget)->keyPress.push_back(std::move(handler));
}

void onLostFocus(QWidget* widget, LostFocusHandler handler) {
    InputHook::of(widget)->lostFocus.push_back(std::move(handler));
}

QString padLeft(const QString& text, int length, QChar fill) {
    if (text.size() >= length) return text;
    return QString(length - text.size(), fill) + text;
}

void filterDigits(int& keyAscii) {
    if (keyAscii == keys::Backspace) return;
    if (keyAscii < '0' || keyAscii > '9') keyAscii = 0;
}

void filterAmount(const QLineEdit* box, int& keyAscii) {
    if (keyAscii == keys::Backspace || (keyAscii >= '0' && keyAscii <= '9')) return;
    if (keyAscii == '.') keyAscii = ',';
    if (keyAscii != ',') {
        keyAscii = 0;
        return;
    }
    const bool commaStays =
        box->text().contains(QLatin1Char(',')) && !box->selectedText().contains(QLatin1Char(','));
    if (commaStays) keyAscii = 0;
}

void installCodeBox(QLineEdit* box, int length) {
    onKeyPress(box, [box, length](int& keyAscii) {
        if (keyAscii == keys::Enter) {
            padBox(box, length);
            keyAscii = 0;
            return;
        }
        filterDigits(keyAscii);
    });
    onLostFocus(box, [box, length] {
        if (!box->text().isEmpty()) padBox(box, length);
    });
}

void installAmountBox(QLineEdit* box) {
    onKeyPress(box, [box](int& keyAscii) { filterAmount(box, keyAscii); });
}

QString FormaterZone(const QLineEdit* box, int integerDigits, int decimals) {
    return box ? OutilsCommuns::FormaterMontant(box->text(), integerDigits, decimals, 0)
               : QString();
}

}  // namespace orv
