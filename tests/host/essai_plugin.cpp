// The test control as a control plugin: "Essai.Ctr_Essai".
#include <QObject>

#include "ctr_essai.h"
#include "frame/control_factory.h"

class EssaiFactory : public QObject, public orv::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "essai.json")
    Q_INTERFACES(orv::ControlFactory)

  public:
    QStringList identifiers() const override { return {Ctr_Essai::kIdentifiant}; }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        return identifier == Ctr_Essai::kIdentifiant ? new Ctr_Essai(parent) : nullptr;
    }
};

#include "essai_plugin.moc"
