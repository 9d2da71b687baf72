// The SoldeConges library as a control plugin: creates "SoldeConges.Ctr_SoldeConges".
#include <QObject>

#include "controls/soldeconges/ctr_soldeconges.h"
#include "frame/control_factory.h"

class SoldeCongesFactory : public QObject, public orv::SingleControlFactory<Ctr_SoldeConges> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "soldeconges.json")
    Q_INTERFACES(orv::ControlFactory)
};

#include "plugin.moc"
