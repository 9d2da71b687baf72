// The test control as a control plugin: "Essai.Ctr_Essai".
#include <QObject>

#include "ctr_essai.h"
#include "frame/control_factory.h"

class EssaiFactory : public QObject, public orv::SingleControlFactory<Ctr_Essai> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "essai.json")
    Q_INTERFACES(orv::ControlFactory)
};

#include "essai_plugin.moc"
