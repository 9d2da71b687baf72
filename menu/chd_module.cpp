#include "menu/chd_module.h"

#include <QMdiArea>
#include <QMetaObject>
#include <stdexcept>

#include "frame/control_factory.h"
#include "frame/host_window.h"
#include "menu/mdi_vesperon.h"
#include "platform/fenetres.h"
#include "platform/messages.h"

namespace menu {

namespace {

const QStringList kTout{"TheSession", "TheDatabase", "TheClient", "DroitsUtilisateur",
                        "W_NomBase",  "W_NomUser",   "W_Password"};
const QStringList kSessionObjets{"TheSession", "TheDatabase", "TheClient", "DroitsUtilisateur"};
const QStringList kObjets{"TheDatabase", "TheClient", "DroitsUtilisateur"};

}  // namespace

const std::vector<DefinitionModule>& DefinitionsModules() {
    static const std::vector<DefinitionModule> table{
        {"Mnu_CADRIUSMONITEUR", "Chd_CADRIUSMONITEUR", "Moniteur de contrôle",
         "Cordanel.Ctr_Cordanel", kTout},
        {"Mnu_CADRIUSTLGVERIFPLG", "Chd_CADRIUSTLGVERIFPLG", "Contrôle d'effectivité",
         "Quillemot.Ctr_Quillemot",
         kSessionObjets + QStringList{"W_OrigineAppel", "W_NomBase", "W_NomUser", "W_Password"}},
        {"Mnu_CADRIUSHISTOPOINTAGE", "Chd_CADRIUSHISTOPOINTAGE", "Historique des pointages",
         "Galvanois.Ctr_Galvanois", kTout},
        {"Mnu_CADRIUSFEUILLEPRES", "Chd_CADRIUSFEUILLEPRES", "Edition des feuilles de présence",
         "Pellavon.Ctr_Pellavon", kSessionObjets},
        {"Mnu_CADRIUSEDITIONCARTES", "Chd_CADRIUSEDITIONCARTES", "Edition de cartes",
         "Sarvenne.Ctr_Sarvenne", kObjets},
        {"Mnu_CADRIUSEXTRACTIONS", "Chd_CADRIUSEXTRACTION", "Extractions Cadrius",
         "Orbesque.Ctr_Orbesque", kTout},
        {"Mnu_CADRIUSCOMPPLGTLG", "Chd_CADRIUSCOMPPLGTLG", "Comparaison plannings <--> Cadrius",
         "Veltrine.Ctr_Veltrine", kTout},
        {"Mnu_CADRIUSDOUCHETTE", "Chd_CADRIUSDOUCHETTE", "Gestion des badgeuses",
         "Ravelune.Ctr_Ravelune",
         kSessionObjets + QStringList{"W_NomBase", "W_Utilisateur", "W_MotPasse"}, true, true},
        {"Mnu_CADRIUSCODESBARRESAIDES",
         "Chd_CADRIUSCODESBARRESAIDES",
         "Codes barres aidés",
         "Brindane.Ctr_Brindane",
         {"TheDatabase", "TheClient", "TheSession"}},
        {"Mnu_CADRIUSCODESBARRESCOURSES",
         "Chd_CADRIUSCODESBARRESCOURSES",
         "Codes barres courses",
         "Mistrelle.Ctr_Mistrelle",
         {},
         false},
        {"Mnu_CADRIUSPARAMSRUB", "Chd_CADRIUSPARAMSRUB", "Paramétrages", "Talvire.Ctr_Talvire",
         kObjets},
        {"Mnu_CADRIUSPARAMSARR", "Chd_CADRIUSPARAMSARR", "Paramétrage général",
         "Menlisse.Ctr_Menlisse", kObjets},
        {"Mnu_CADRIUSDROITSGPE", "Chd_CADRIUSDROITSGPE", "Gestion des groupes d'utilisateurs",
         "Tornesse.Ctr_Tornesse", kObjets},
        {"Mnu_CADRIUSDROITSUTILS",
         "Chd_CADRIUSDROITSUTILS",
         "Gestion des utilisateurs",
         "Falmeret.Ctr_Falmeret",
         {"TheDatabase", "DroitsUtilisateur"}},
    };
    return table;
}

bool ModuleDeTelegestion(const DefinitionModule& definition) {
    // The administration windows are the suite's own controls.
    static const QStringList administration{"Mnu_CADRIUSPARAMSARR", "Mnu_CADRIUSDROITSGPE",
                                            "Mnu_CADRIUSDROITSUTILS"};
    return !administration.contains(definition.entree);
}

const DefinitionModule* DefinitionModuleDe(const QString& entree) {
    for (const DefinitionModule& d : DefinitionsModules())
        if (d.entree == entree) return &d;
    return nullptr;
}

Chd_Module::Chd_Module(Mdi_Vesperon& mdi, const DefinitionModule& definition)
    : FenetreFille(mdi, definition.fenetre, definition.caption, definition.entree),
      definition_(definition) {}

QVariant Chd_Module::valeurMembre(const QString& membre) const {
    Programme& p = mdi().programme();
    auto objet = [](QObject* o) { return QVariant::fromValue<QObject*>(o); };
    if (membre == u"TheSession") return objet(p.SessionBase.get());
    if (membre == u"TheDatabase") return objet(mdi().database());
    if (membre == u"TheClient") return objet(mdi().client());
    if (membre == u"DroitsUtilisateur") return objet(mdi().droits());
    if (membre == u"W_NomBase") return p.NomBase;
    if (membre == u"W_NomUser" || membre == u"W_Utilisateur") return p.NomUtilisateur;
    if (membre == u"W_Password" || membre == u"W_MotPasse") return p.MotPasse;
    if (membre == u"W_OrigineAppel") return QStringLiteral("MENUCADRIUS");
    throw std::logic_error("membre inconnu : " + membre.toStdString());
}

void Chd_Module::appeler(const char* methode) {
    if (!QMetaObject::invokeMethod(controle_, methode, Qt::DirectConnection))
        throw std::invalid_argument(QStringLiteral("le module n'offre pas « %1 »")
                                        .arg(QLatin1String(methode))
                                        .toStdString());
}

void Chd_Module::echec(const QString& message) {
    orv::MsgBox(message, orv::MsgCritical);
    fermerSansCondition();
}

bool Chd_Module::Ouvrir() {
    desactiverEntrees();
    mdi().Mdi_Zone()->addSubWindow(this);
    move(0, 0);
    // Named by its caption, as the user knows it; the telegestion controls come with their own
    // package.
    if (!orv::isControlInstalled(definition_.controle)) {
        echec(
            ModuleDeTelegestion(definition_)
                ? QStringLiteral("Le module « %1 » n'est pas installé : il est fourni avec les "
                                 "modules de télégestion Cadrius, à installer à part.")
                      .arg(definition_.caption)
                : QStringLiteral("Le module « %1 » n'est pas installé.").arg(definition_.caption));
        return false;
    }
    QString erreur;
    QWidget* controle = orv::createControl(definition_.controle, this, &erreur);
    if (!controle) {
        echec(erreur);  // already names the module
        return false;
    }
    controle_ = controle;
    setWidget(controle);
    resize(controle->sizeHint().expandedTo(QSize(640, 420)));
    // The size the user gave it last time; the place stays the top-left corner.
    orv::memoriserGeometrie(this, QStringLiteral("MenuCadrius/") + definition_.fenetre,
                            orv::Memoire::Taille);
    try {
        for (const QString& membre : definition_.membres)
            orv::setMember(controle, membre, valeurMembre(membre));
        if (definition_.init) appeler("Init");
        show();
        if (definition_.chargerSiDejaBranche) appeler("ChargerSiDejaBranche");
    } catch (const std::exception& e) {
        echec(QStringLiteral("Le module « %1 » n'a pas pu démarrer : %2")
                  .arg(definition_.controle, QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

bool Chd_Module::peutFermer() { return !controle_ || orv::hostMayClose(controle_); }

}  // namespace menu
