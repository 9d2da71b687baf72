#include "host/module_host.h"

#include <utility>

#include <QTextStream>
#include <cstdio>

#include "frame/control_factory.h"
#include "frame/login.h"
#include "frame/module_control.h"
#include "host/frm_absences.h"
#include "host/frm_connexion_module.h"
#include "host/frm_emploitemps.h"
#include "host/frm_modules.h"
#include "host/frm_soldeconges.h"
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
    // The windows (and the controls in them) go before the objects they refer to.
    modules_.reset();
    forms_.clear();
    windows_.clear();
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

bool ModuleHost::allows(const ModuleEntry& entry) const {
    return rights_->entry(entry.rightsKey).access() != AccessLevel::None;
}

// A user whose rights give the module's key level 0 never sees it enabled: the container
// refuses to start it too, before it reads anything. The key is the control's own, else the
// one the container checks for it.
void ModuleHost::requireAccess(QWidget* control, const QString& identifier) {
    const auto* module = qobject_cast<const ModuleControl*>(control);
    QString key = module ? module->rightsKey() : QString();
    if (key.isEmpty())
        if (const ModuleEntry* entry = findModule(identifier)) key = entry->rightsKey;
    if (key.isEmpty()) return;
    if (rights_->entry(key).access() == AccessLevel::None)
        throw HostFailure(
            QStringLiteral("Vous n'avez pas accès au module « %1 ».").arg(moduleName(identifier)));
}

// The members reach only what the control declares (its own class and the module control
// frame), never the properties every widget has (enabled, visible, geometry...).
void ModuleHost::bindMembers(QWidget* control, const QString& identifier,
                             const QStringList& members) {
    try {
        setMember(control, QStringLiteral("TheClient"),
                  QVariant::fromValue<QObject*>(client_.get()));
        setMember(control, QStringLiteral("TheDatabase"),
                  QVariant::fromValue<QObject*>(database_.data()));
        if (hasMember(control, QStringLiteral("DroitsUtilisateur")))
            setMember(control, QStringLiteral("DroitsUtilisateur"),
                      QVariant::fromValue<QObject*>(rights_.get()));
        for (const QString& assignment : members) {
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            if (equals <= 0)
                throw HostFailure(QStringLiteral("--set %1 : la forme attendue est MEMBRE=VALEUR.")
                                      .arg(assignment));
            const QString member = assignment.left(equals);
            const int index = control->metaObject()->indexOfProperty(member.toLatin1().constData());
            if (index < QWidget::staticMetaObject.propertyCount())
                throw HostFailure(QStringLiteral("--set %1 : le module « %2 » n'a pas de membre "
                                                 "public de ce nom.")
                                      .arg(member, identifier));
            setMemberFromText(control, member, assignment.mid(equals + 1));
        }
    } catch (const HostFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw HostFailure(failureText(e));
    }
}

void ModuleHost::startControl(QWidget* control, const QString& identifier) {
    const QString method = startMethodName(control);
    if (method.isEmpty())
        throw HostFailure(
            QStringLiteral("Le module « %1 » n'a pas de méthode de démarrage.").arg(identifier));
    if (method == QLatin1String("Edition")) beforeFirstModal();
    try {
        callStartMethod(control);
    } catch (const std::exception& e) {
        throw HostFailure(QStringLiteral("Le module « %1 » n'a pas pu démarrer : %2")
                              .arg(moduleName(identifier), failureText(e)));
    }
}

QWidget* ModuleHost::hostControl(const QString& identifier, const QStringList& members) {
    auto window = std::make_unique<HostWindow>();
    window->setObjectName(QStringLiteral("Frm_Hote"));
    window->setWindowTitle(moduleName(identifier));
    QString error;
    QWidget* control = orv::createControl(identifier, window.get(), &error);
    if (!control) throw HostFailure(error);
    window->setControl(control);
    memoriserGeometrie(window.get(),
                       QStringLiteral("orvanelle-module/") + desktopEntryName(identifier));
    windows_.push_back(std::move(window));
    try {
        requireAccess(control, identifier);
        bindMembers(control, identifier, members);
        startControl(control, identifier);
    } catch (...) {
        windows_.pop_back();
        throw;
    }
    return control;
}

HostWindow* ModuleHost::openModule(const QString& identifier, const QStringList& members) {
    QWidget* control = hostControl(identifier, members);
    // A printed report's control has nothing left to show once its start method returned.
    if (hasMember(control, QStringLiteral("W_Sortir")) && control->property("W_Sortir").toBool()) {
        windows_.pop_back();
        return nullptr;
    }
    windows_.back()->show();
    return windows_.back().get();
}

void ModuleHost::chooseModule(const ModuleEntry& entry) {
    std::unique_ptr<QWidget> form;
    switch (entry.form) {
        case ModuleForm::Absences:
            form = std::make_unique<Frm_Absences>(*this, entry);
            break;
        case ModuleForm::Timetable:
            form = std::make_unique<Frm_EmploiTemps>(*this, entry);
            break;
        case ModuleForm::LeaveTally:
            form = std::make_unique<Frm_SoldeConges>(*this, entry);
            break;
        case ModuleForm::None:
            openModule(entry.identifier, {});
            return;
    }
    form->show();
    forms_.push_back(std::move(form));
}

bool ModuleHost::closeModules() {
    for (const auto& form : forms_) form->close();
    bool closed = true;
    for (const auto& window : windows_)
        if (window->isVisible()) closed = window->close() && closed;
    return closed;
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
    if (options_.identifier.isEmpty()) {
        modules_ = std::make_unique<Frm_Modules>(*this);
        return true;
    }
    // A module of the catalogue that needs members and was given none opens its form.
    const ModuleEntry* entry = findModule(options_.identifier);
    if (entry && entry->form != ModuleForm::None && options_.members.isEmpty()) {
        chooseModule(*entry);
        return true;
    }
    commandLineControl_ = hostControl(options_.identifier, options_.members);
    return true;
}

bool ModuleHost::controlLeft() const {
    return commandLineControl_ && hasMember(commandLineControl_, QStringLiteral("W_Sortir")) &&
           commandLineControl_->property("W_Sortir").toBool();
}

void ModuleHost::show() {
    if (modules_) modules_->show();
    if (commandLineControl_ && !controlLeft()) windows_.front()->show();
}

}  // namespace orv::host
