// The NumeroPieces library as a control plugin: creates "NumeroPieces.Ctr_NumeroPieces".
#include <QObject>

#include "controls/numeropieces/ctr_numeropieces.h"
#include "frame/control_factory.h"

class NumeroPiecesFactory : public QObject, public orv::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "numeropieces.json")
    Q_INTERFACES(orv::ControlFactory)

  public:
    QStringList identifiers() const override { return {Ctr_NumeroPieces::kIdentifiant}; }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        return identifier == Ctr_NumeroPieces::kIdentifiant ? new Ctr_NumeroPieces(parent)
                                                            : nullptr;
    }
};

#include "plugin.moc"
