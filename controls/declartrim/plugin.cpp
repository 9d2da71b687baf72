// The DeclarTrim control library: creates Ctr_ReleveDnt as "DeclarTrim.Ctr_ReleveDnt".
#include <QObject>

#include "controls/declartrim/ctr_relevednt.h"
#include "frame/control_factory.h"

namespace declartrim {

class DeclarTrimFactory : public QObject, public orv::SingleControlFactory<Ctr_ReleveDnt> {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "declartrim.json")
    Q_INTERFACES(orv::ControlFactory)
};

}  // namespace declartrim

#include "plugin.moc"
