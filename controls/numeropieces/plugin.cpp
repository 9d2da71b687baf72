// The NumeroPieces library as a control plugin: creates "NumeroPieces.Ctr_NumeroPieces".
#include <QObject>

#include "controls/numeropieces/ctr_numeropieces.h"
#include "frame/control_factory.h"

class NumeroPiecesFactory : public QObject, public orv::SingleControlFactory<Ctr_NumeroPieces> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "numeropieces.json")
    Q_INTERFACES(orv::ControlFactory)
};

#include "plugin.moc"
