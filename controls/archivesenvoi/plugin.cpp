// The ArchivesEnvoi library as a control plugin: creates "ArchivesEnvoi.Ctr_RepDemat".
#include <QObject>

#include "controls/archivesenvoi/ctr_repdemat.h"
#include "frame/control_factory.h"

class ArchivesEnvoiFactory : public QObject, public orv::SingleControlFactory<Ctr_RepDemat> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "archivesenvoi.json")
    Q_INTERFACES(orv::ControlFactory)
};

#include "plugin.moc"
