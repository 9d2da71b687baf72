#include "host/module_host.h"

#include <utility>

#include <QTextStream>
#include <cstdio>

#include "frame/control_factory.h"
#include "frame/login.h"
#include "frame/module_control.h"
#include "host/frm_connexion_module.h"
#include "platform/fenetres.h"
#include "platform/messages.h"

namespace orv::host {

namespace {

QString failureText(const std::exception& e) {
    if (const auto* d = dynamic_cast<const dba::Error*>(&e))
        return QStringLiteral("%1 (erreur %2)").arg(d->message()).arg(d->number());
    return QString::fromUtf8(e.what());
}

}  // namespace

QString readPasswordLine() {
    QTextStream in(stdin);
    QString line = in.readLine();
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

ModuleHost::ModuleHost(HostOptions options) : options_(std::move(options)) {}

ModuleHost::~ModuleHost() {
    // The window (and the control in it) goes before the objects it refers to.
    window_.reset();
    rights_.reset();
    client_.reset();
    session_.Disconnect();
}

// The database label: --db names a file directly; otherwise the INI file, with --base or its
// only line; with several lines and no --base, the login window offers the choice (empty).
QString ModuleHost::chooseDatabase() {
    if (!options_.dbPath.isEmpty()) {
        applyDatabasePath(session_, options_.dbPath);
        return session_.accountPath();
    }
    ini_.read(IniServeurs::defaultPath());
    iniRead_ = true;
    if (ini_.problem() != IniServeurs::Problem::None) throw HostFailure(ini_.problemMessage());
    int index = -1;
    if (!options_.base.isEmpty()) {
        index = ini_.find(options_.base);
        if (index < 0) throw HostFailure(kBaseIndisponible);
    } else if (ini_.labels().size() == 1 && !ini_.labels().first().isEmpty()) {
        index = 0;
    }
    if (index < 0) return {};
    applyDatabase(session_, ini_, index);
    return ini_.labels().at(index);
}

bool ModuleHost::login(const QString& label) {
    if (!options_.user.isEmpty() && options_.passwordStdin && !label.isEmpty()) {
        const QString password = readPasswordLine();
        const LoginOutcome outcome = connectSession(session_, options_.user, password);
        if (!outcome.connected()) throw HostFailure(outcome.message, outcome.style());
        user_ = options_.user.toUpper();
        password_ = password;
        return true;
    }
    const IniServeurs* choice = label.isEmpty() && iniRead_ ? &ini_ : nullptr;
    Frm_ConnexionModule window(session_, choice, options_.user);
    beforeFirstModal();
    if (window.exec() != QDialog::Accepted) return false;
    user_ = window.user();
    password_ = window.password();
    return true;
}

void ModuleHost::openObjects(const QString& label) {
    client_ = std::make_unique<dba::Client>();
    const QString path = session_.accountPath();
    client_->setLocator([path](const QString&) { return path; });
    client_->setServer(session_.hostName());
    client_->ClientConnect(user_, password_, QString());
    database_ = client_->OpenDatabase(QStringLiteral("ORVANELLE"), label);
    rights_ = std::make_unique<Rights>();
    rights_->setDatabase(database_);
    rights_->setUser(user_);
}

void ModuleHost::createControl() {
    window_ = std::make_unique<HostWindow>();
    window_->setObjectName(QStringLiteral("Frm_Hote"));
    window_->setWindowTitle(controlName(options_.identifier));
    QString error;
    control_ = orv::createControl(options_.identifier, window_.get(), &error);
    if (!control_) throw HostFailure(error);
    window_->setControl(control_);
    memoriserGeometrie(window_.get(),
                       QStringLiteral("orvanelle-module/") + desktopEntryName(options_.identifier));
}

// A user whose rights give the control's key level 0 never sees it in the menu: the container
// refuses to start it too, before it reads anything.
void ModuleHost::requireAccess() {
    const auto* control = qobject_cast<const ModuleControl*>(control_);
    if (!control || control->rightsKey().isEmpty()) return;
    if (rights_->entry(control->rightsKey()).access() == AccessLevel::None)
        throw HostFailure(
            QStringLiteral("Vous n'avez pas accès au module « %1 ».").arg(options_.identifier));
}

// --set reaches the members the control declares (its own class and the module control
// frame), never the properties every widget has (enabled, visible, geometry...).
void ModuleHost::requireDeclaredMember(const QString& name) const {
    const int index = control_->metaObject()->indexOfProperty(name.toLatin1().constData());
    if (index < QWidget::staticMetaObject.propertyCount())
        throw HostFailure(QStringLiteral("--set %1 : le module « %2 » n'a pas de membre public "
                                         "de ce nom.")
                              .arg(name, options_.identifier));
}

void ModuleHost::bindMembers() {
    try {
        setMember(control_, QStringLiteral("TheClient"),
                  QVariant::fromValue<QObject*>(client_.get()));
        setMember(control_, QStringLiteral("TheDatabase"),
                  QVariant::fromValue<QObject*>(database_.data()));
        if (hasMember(control_, QStringLiteral("DroitsUtilisateur")))
            setMember(control_, QStringLiteral("DroitsUtilisateur"),
                      QVariant::fromValue<QObject*>(rights_.get()));
        for (const QString& assignment : options_.members) {
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            if (equals <= 0)
                throw HostFailure(QStringLiteral("--set %1 : la forme attendue est MEMBRE=VALEUR.")
                                      .arg(assignment));
            const QString member = assignment.left(equals);
            requireDeclaredMember(member);
            setMemberFromText(control_, member, assignment.mid(equals + 1));
        }
    } catch (const HostFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw HostFailure(failureText(e));
    }
}

void ModuleHost::startControl() {
    const QString method = startMethodName(control_);
    if (method.isEmpty())
        throw HostFailure(QStringLiteral("Le module « %1 » n'a pas de méthode de démarrage.")
                              .arg(options_.identifier));
    if (method == QLatin1String("Edition")) beforeFirstModal();
    try {
        callStartMethod(control_);
    } catch (const std::exception& e) {
        throw HostFailure(QStringLiteral("Le module « %1 » n'a pas pu démarrer : %2")
                              .arg(options_.identifier, failureText(e)));
    }
}

void ModuleHost::beforeFirstModal() {
    if (!options_.beforeFirstModal) return;
    const auto run = std::exchange(options_.beforeFirstModal, nullptr);
    run();
}

bool ModuleHost::open() {
    const QString label = chooseDatabase();
    if (!login(label)) return false;
    try {
        openObjects(label.isEmpty() ? session_.accountPath() : label);
    } catch (const std::exception& e) {
        throw HostFailure(
            QStringLiteral("La base de données n'a pas pu être ouverte : %1").arg(failureText(e)));
    }
    createControl();
    requireAccess();
    bindMembers();
    startControl();
    return true;
}

bool ModuleHost::controlLeft() const {
    return control_ && hasMember(control_, QStringLiteral("W_Sortir")) &&
           control_->property("W_Sortir").toBool();
}

void ModuleHost::show() {
    if (!controlLeft()) window_->show();
}

}  // namespace orv::host
