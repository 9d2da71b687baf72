// Module controls are Qt plugins created by identifier ("NumeroPieces.Ctr_NumeroPieces").
// A control library is a MODULE library whose plugin object implements ControlFactory and
// lists its identifiers in its metadata JSON: { "identifiers": ["NumeroPieces.Ctr_NumeroPieces"] }.
//
// Plugins are looked up, in this order, in the folders of $ORVANELLE_PLUGIN_PATH (separated by
// ":"), beside the running program, and in the build's plugin folder.
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

// The factory of a library holding one control class with a static kIdentifiant. Identifiers
// compare without regard to case, as class identifiers always have. A plugin declares:
//   class F : public QObject, public orv::SingleControlFactory<Ctr_X> {
//       Q_OBJECT  Q_PLUGIN_METADATA(...)  Q_INTERFACES(orv::ControlFactory) };
template <class Control>
class SingleControlFactory : public ControlFactory {
  public:
    QStringList identifiers() const override { return {Control::kIdentifiant}; }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        if (identifier.compare(Control::kIdentifiant, Qt::CaseInsensitive) != 0) return nullptr;
        return new Control(parent);
    }
};

// Folders searched for control plugins, in search order.
QStringList controlPluginFolders();

// Creates the control of that identifier. On failure returns null and, when `error` is given,
// sets it to a French message for the user.
QWidget* createControl(const QString& identifier, QWidget* parent, QString* error = nullptr);

}  // namespace orv

#define OrvControlFactory_iid "fr.orvanelle.ControlFactory/1.0"
Q_DECLARE_INTERFACE(orv::ControlFactory, OrvControlFactory_iid)
