#include "frame/module_control.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <stdexcept>

#include "client/dba.h"
#include "frame/library_objects.h"
#include "platform/help.h"

namespace orv {

namespace {

// Objects cross library boundaries (the host creates them, a plugin receives them), so the
// type check goes through the C++ type information rather than one library's meta-object.
template <class T>
T* objectAs(QObject* object, const char* member) {
    if (!object) return nullptr;
    if (auto* typed = dynamic_cast<T*>(object)) return typed;
    throw std::invalid_argument(
        QStringLiteral("%1 : objet de type %2 inattendu")
            .arg(QLatin1String(member), QLatin1String(object->metaObject()->className()))
            .toStdString());
}

}  // namespace

ModuleControl::ModuleControl(LibraryObjects& objects, QString rightsKey, QWidget* parent)
    : QWidget(parent), objects_(objects), rightsKey_(std::move(rightsKey)) {}

ModuleControl::~ModuleControl() = default;

void ModuleControl::setTheClient(QObject* client) {
    objects_.setClient(objectAs<dba::Client>(client, "TheClient"));
}

void ModuleControl::setTheDatabase(QObject* database) {
    objects_.setDatabase(objectAs<dba::Database>(database, "TheDatabase"));
}

void ModuleControl::setDroitsUtilisateur(QObject* rights) {
    if (rightsKey_.isEmpty()) return;
    rights_ = objectAs<Rights>(rights, "DroitsUtilisateur");
    entry_ = rights_ ? rights_->entry(rightsKey_) : RightsEntry();
}

QObject* ModuleControl::theClientObject() const { return objects_.client(); }
QObject* ModuleControl::theDatabaseObject() const { return objects_.database(); }
QObject* ModuleControl::droitsUtilisateurObject() const { return rights_; }

dba::Client* ModuleControl::client() const { return objects_.client(); }
dba::Database* ModuleControl::database() const { return objects_.database(); }

void ModuleControl::Init() { start(); }

dba::Database& ModuleControl::requireDatabase() const {
    if (dba::Database* db = database()) return *db;
    throw dba::Error(dba::kNotConnected,
                     QStringLiteral("Le module %1 n'a pas reçu de base de données ouverte.")
                         .arg(metaObject()->className()));
}

void ModuleControl::applyRights() {
    if (QWidget* button = actionButton(); button && accessLevel() != AccessLevel::Full)
        button->hide();
}

void ModuleControl::leave() {
    setSortir();
    releaseResources();
    releaseRights();
    releaseDatabase();
    closeHostWindow();
}

void ModuleControl::releaseRights() {
    rights_ = nullptr;
    entry_ = RightsEntry();
}

void ModuleControl::releaseDatabase() { objects_.releaseDatabase(); }

void ModuleControl::closeHostWindow() {
    closeHelpOf(this);
    if (QWidget* host = hostWindowOf(this); host && host != this) host->close();
}

void ModuleControl::enableHelpMenu() {
    if (mnuAide_) return;
    mnuAide_ = new QMenu(QStringLiteral("Aide"), this);
    mnuAide_->setObjectName(QStringLiteral("Mnu_Aide"));
    mnuSommaire_ = mnuAide_->addAction(QStringLiteral("Aide_ORVANELLE"));
    mnuSommaire_->setObjectName(QStringLiteral("Mnu_Sommaire"));
    connect(mnuSommaire_, &QAction::triggered, this, [this] { Mnu_Sommaire_Click(); });
}

void ModuleControl::mousePressEvent(QMouseEvent* event) {
    // Only a press on the control's own background, not on one of its widgets.
    const bool onBackground = childAt(event->position().toPoint()) == nullptr;
    if (mnuAide_ && event->button() == Qt::RightButton && onBackground) {
        mnuAide_->setEnabled(true);
        mnuSommaire_->setEnabled(true);
        mnuAide_->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

QWidget* hostWindowOf(QWidget* control) {
    for (QWidget* w = control; w; w = w->parentWidget())
        if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w)) return w;
    return nullptr;
}

}  // namespace orv
