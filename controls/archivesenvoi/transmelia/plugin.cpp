// The Transmelia library as a control plugin: creates "Transmelia.Ctr_ActiveXEditDemat".
#include <QObject>

#include "controls/archivesenvoi/transmelia/ctr_activexeditdemat.h"
#include "frame/control_factory.h"

class TransmeliaFactory : public QObject, public orv::SingleControlFactory<Ctr_ActiveXEditDemat> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "transmelia.json")
    Q_INTERFACES(orv::ControlFactory)
};

#include "plugin.moc"
