// Hosting a module control: binding its members by name, starting it, and a window that
// honours its exit flag W_Sortir.
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

class QCloseEvent;

namespace orv {

// Whether the object declares a property of that name (a set by name on an undeclared name
// would only add a dynamic property).
bool hasMember(const QObject* control, const QString& name);

// Sets a declared member. Throws std::invalid_argument with a French message when the member
// is not declared, not writable, or refuses the value.
void setMember(QObject* control, const QString& name, const QVariant& value);

// Sets a declared member from text, converted to the member's declared type (whole or decimal
// numbers, Booleans as True/False, Vrai/Faux, 1/0/-1, texts as they stand). Throws
// std::invalid_argument with a French message on an undeclared member or an unusable value.
void setMemberFromText(QObject* control, const QString& name, const QString& text);

// The control's start method: "Edition" when it declares one, else "Init"; empty when it has
// neither.
QString startMethodName(const QObject* control);
// Calls the start method; false when the control has none.
bool callStartMethod(QObject* control);

// True when the hosted control agrees to be closed: its W_Sortir is True, or it declares no
// W_Sortir at all (a control without an exit button).
bool hostMayClose(const QObject* control);

// A top-level window hosting one control, filling it. Closing it by any means other than the
// control's own exit does nothing while the control's W_Sortir is False.
class HostWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HostWindow(QWidget* parent = nullptr);
    // Takes the control as the window's only content.
    void setControl(QWidget* control);
    QWidget* control() const { return control_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* control_ = nullptr;
};

}  // namespace orv
