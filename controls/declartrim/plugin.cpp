// The DeclarTrim control library: creates Ctr_ReleveDnt as "DeclarTrim.Ctr_ReleveDnt".
#include <QObject>

#include "controls/declartrim/ctr_relevednt.h"
#include "frame/control_factory.h"

namespace declartrim {

class DeclarTrimFactory : public QObject, public orv::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "declartrim.json")
    Q_INTERFACES(orv::ControlFactory)
  public:
    QStringList identifiers() const override { return {Ctr_ReleveDnt::kIdentifiant}; }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        if (identifier.compare(Ctr_ReleveDnt::kIdentifiant, Qt::CaseInsensitive) != 0)
            return nullptr;
        return new Ctr_ReleveDnt(parent);
    }
};

}  // namespace declartrim

#include "plugin.moc"
