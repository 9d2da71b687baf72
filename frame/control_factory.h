// Module controls are Qt plugins created by identifier ("NumeroPieces.Ctr_NumeroPieces").
// A control library is a MODULE library whose plugin object implements ControlFactory and
// lists its identifiers and its French name in its metadata JSON:
// { "identifiers": ["NumeroPieces.Ctr_NumeroPieces"], "name": "Compteurs de facturation" }.
//
// Plugins are looked up, in this order, in the folders of $ORVANELLE_PLUGIN_PATH (separated by
// ":"), then, for an installed program, in <prefix>/lib/orvanelle/plugins only; for a program
// run from the build folder, beside the running program and in the build's plugin folder.
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

class QWidget;

namespace orv {

class ControlFactory {
  public:
    virtual ~ControlFactory() = default;
    // The identifiers this library creates.
    virtual QStringList identifiers() const = 0;
    // A new control for one of the identifiers, or null when the identifier is not its own.
    virtual QWidget* create(const QString& identifier, QWidget* parent) = 0;
};

// Identifiers compare without regard to case, as class identifiers always have.
bool sameIdentifier(const QString& a, const QString& b);

// The factory of a library holding one control class. orv_add_control generates the plugin
// class that derives from it, with the identifier written once in the control's CMakeLists.
template <class Control>
class SingleControlFactory : public ControlFactory {
  public:
    explicit SingleControlFactory(QString identifier) : identifier_(std::move(identifier)) {}
    QStringList identifiers() const override { return {identifier_}; }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        return sameIdentifier(identifier, identifier_) ? new Control(parent) : nullptr;
    }

  private:
    QString identifier_;
};

// Folders searched for control plugins, in search order.
QStringList controlPluginFolders();

// Whether a plugin declaring that identifier is installed (read from the metadata only).
bool isControlInstalled(const QString& identifier);
// The module's French name, from its plugin metadata ("Relevé trimestriel des déclarations");
// the identifier itself when no installed plugin names it.
QString controlName(const QString& identifier);
// The desktop entry (and window class) of a module started alone: "orvanelle-" and its library
// name in lower case ("orvanelle-declartrim" for "DeclarTrim.Ctr_ReleveDnt").
QString desktopEntryName(const QString& identifier);

// Creates the control of that identifier. On failure returns null and, when `error` is given,
// sets it to a French message for the user.
QWidget* createControl(const QString& identifier, QWidget* parent, QString* error = nullptr);

}  // namespace orv

#define OrvControlFactory_iid "fr.orvanelle.ControlFactory/1.0"
Q_DECLARE_INTERFACE(orv::ControlFactory, OrvControlFactory_iid)
