// A stand-in for the telegestion controls hosted by MenuCadrius: it accepts every member the
// menu hands over and records, in order, what it received and when its methods ran (and
// whether its window was visible then). The record is readable as the property Journal and
// shown in the label Etq_Journal; Cmd_Sortir leaves as a real control does.
// With ORV_TEST_ECHEC_INIT set, Init fails as a control that cannot start.
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
#include <stdexcept>

#include "frame/control_factory.h"
#include "frame/module_control.h"

namespace {

#define MEMBRE_OBJET(nom)                                 \
    Q_PROPERTY(QObject* nom READ objetNul WRITE set##nom) \
  public:                                                 \
    void set##nom(QObject* o) { noter(#nom, o ? o->metaObject()->className() : "nul"); }

#define MEMBRE_TEXTE(nom)                                 \
    Q_PROPERTY(QString nom READ texteVide WRITE set##nom) \
  public:                                                 \
    void set##nom(const QString& t) { noter(#nom, t); }

class ControleTest : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList Journal READ journal)
    Q_PROPERTY(bool W_Sortir READ sortir)
    MEMBRE_OBJET(TheSession)
    MEMBRE_OBJET(TheDatabase)
    MEMBRE_OBJET(TheClient)
    MEMBRE_OBJET(DroitsUtilisateur)
    MEMBRE_TEXTE(W_NomBase)
    MEMBRE_TEXTE(W_NomUser)
    MEMBRE_TEXTE(W_Password)
    MEMBRE_TEXTE(W_Utilisateur)
    MEMBRE_TEXTE(W_MotPasse)
    MEMBRE_TEXTE(W_OrigineAppel)

  public:
    ControleTest(const QString& identifiant, QWidget* parent) : QWidget(parent) {
        setObjectName(identifiant.section(QLatin1Char('.'), 1));
        auto* disposition = new QVBoxLayout(this);
        etiquette_ = new QLabel(this);
        etiquette_->setObjectName(QStringLiteral("Etq_Journal"));
        auto* sortir = new QPushButton(QStringLiteral("Sortir"), this);
        sortir->setObjectName(QStringLiteral("Cmd_Sortir"));
        disposition->addWidget(etiquette_);
        disposition->addWidget(sortir);
        connect(sortir, &QPushButton::clicked, this, [this] {
            sortir_ = true;
            noter("Sortir", {});
            if (QWidget* hote = orv::hostWindowOf(this)) hote->close();
        });
    }

    Q_INVOKABLE void Init() {
        if (qEnvironmentVariableIsSet("ORV_TEST_ECHEC_INIT"))
            throw std::runtime_error("base de télégestion injoignable");
        noter("Init", visibilite());
    }
    Q_INVOKABLE void ChargerSiDejaBranche() { noter("ChargerSiDejaBranche", visibilite()); }

    QStringList journal() const { return journal_; }
    bool sortir() const { return sortir_; }
    QObject* objetNul() const { return nullptr; }
    QString texteVide() const { return {}; }

  private:
    QString visibilite() const {
        const QWidget* hote = orv::hostWindowOf(const_cast<ControleTest*>(this));
        return hote && hote->isVisible() ? QStringLiteral("visible") : QStringLiteral("cachée");
    }
    void noter(const char* quoi, const QString& valeur) {
        journal_ << (valeur.isEmpty() ? QString::fromLatin1(quoi)
                                      : QString::fromLatin1(quoi) + QLatin1Char('=') + valeur);
        etiquette_->setText(journal_.join(QStringLiteral(" ; ")));
    }

    QLabel* etiquette_;
    QStringList journal_;
    bool sortir_ = false;
};

}  // namespace

class ControlesTestFactory : public QObject, public orv::ControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvControlFactory_iid FILE "controles_test.json")
    Q_INTERFACES(orv::ControlFactory)

  public:
    QStringList identifiers() const override {
        return {
            QStringLiteral("Cordanel.Ctr_Cordanel"),   QStringLiteral("Quillemot.Ctr_Quillemot"),
            QStringLiteral("Galvanois.Ctr_Galvanois"), QStringLiteral("Pellavon.Ctr_Pellavon"),
            QStringLiteral("Sarvenne.Ctr_Sarvenne"),   QStringLiteral("Orbesque.Ctr_Orbesque"),
            QStringLiteral("Veltrine.Ctr_Veltrine"),   QStringLiteral("Ravelune.Ctr_Ravelune"),
            QStringLiteral("Brindane.Ctr_Brindane"),   QStringLiteral("Mistrelle.Ctr_Mistrelle"),
            QStringLiteral("Talvire.Ctr_Talvire"),     QStringLiteral("Menlisse.Ctr_Menlisse"),
            QStringLiteral("Tornesse.Ctr_Tornesse"),   QStringLiteral("Falmeret.Ctr_Falmeret")};
    }
    QWidget* create(const QString& identifier, QWidget* parent) override {
        return identifiers().contains(identifier) ? new ControleTest(identifier, parent) : nullptr;
    }
};

#include "controles_test.moc"
