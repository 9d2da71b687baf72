// orvanelle-module: the suite's container. Chooses the database (--db, or the INI file with
// --base or the login window), logs in, then either hosts the module named on the command line
// or shows the Modules window, from which the user opens the six modules. A module is hosted
// as the suite's container does: created by identifier, handed the client, the database and the
// rights object (TheClient, TheDatabase, DroitsUtilisateur, in that order), given its members
// (from --set, or from the module's form), started, and shown in a window of its own that
// honours W_Sortir.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "client/dba.h"
#include "client/uniobjects.h"
#include "frame/host_window.h"
#include "frame/ini_serveurs.h"
#include "host/module_catalogue.h"
#include "rights/rights.h"

namespace orv::host {

struct HostOptions {
    QString identifier;  // empty: the Modules window
    QString dbPath;      // --db: an embedded database named directly
    QString base;        // --base: a label of the INI file
    QString user;
    bool passwordStdin = false;
    QStringList members;  // MEMBER=VALUE (--set, and --arg for the arguments of Edition)
    QString script;
    // Run once, just before the first modal window the host opens (the login window, or a
    // start method named Edition, which opens its own), so that a script drives it.
    std::function<void()> beforeFirstModal;
};

// A failure already worded for the user: shown as a message, exit code 1.
class HostFailure : public std::runtime_error {
  public:
    explicit HostFailure(const QString& message, int style = 16)
        : std::runtime_error(message.toStdString()), style_(style) {}
    QString message() const { return QString::fromUtf8(what()); }
    // The message box style: critical (16) unless the failure is the user's input (48).
    int style() const { return style_; }

  private:
    int style_;
};

class Frm_Modules;

class ModuleHost {
  public:
    explicit ModuleHost(HostOptions options);
    ~ModuleHost();

    // Everything up to the started control, its form or the Modules window; throws
    // HostFailure. False when the user cancelled the login window.
    bool open();
    // Shows the window (unless the module hosted from the command line already left).
    void show();
    // The module named on the command line was hosted and left during its start.
    bool controlLeft() const;

    // Hosts one module in a window of its own, with members MEMBER=VALUE; throws HostFailure.
    // Returns the window, or null when the control left during its start (a printed report).
    HostWindow* openModule(const QString& identifier, const QStringList& members);
    // What the Modules window does for an entry: its form when it has one, else the module.
    void chooseModule(const ModuleEntry& entry);
    // The user's level on the key that opens the module is not 0.
    bool allows(const ModuleEntry& entry) const;
    // Closes every module window; false when one refuses (its control has not been left).
    bool closeModules();

    dba::Database& database() { return *database_; }
    const QString& user() const { return user_; }
    HostWindow* window() const { return windows_.empty() ? nullptr : windows_.back().get(); }

  private:
    QString chooseDatabase();
    bool login(const QString& label);
    void beforeFirstModal();
    void openObjects(const QString& label);
    // Creates the control in a new window (not shown yet), binds and starts it.
    QWidget* hostControl(const QString& identifier, const QStringList& members);
    void requireAccess(QWidget* control, const QString& identifier);
    void bindMembers(QWidget* control, const QString& identifier, const QStringList& members);
    void startControl(QWidget* control, const QString& identifier);

    HostOptions options_;
    IniServeurs ini_;
    bool iniRead_ = false;
    uni::Session session_;
    QString user_;
    QString password_;
    std::unique_ptr<dba::Client> client_;
    QPointer<dba::Database> database_;
    std::unique_ptr<Rights> rights_;
    std::vector<std::unique_ptr<HostWindow>> windows_;
    std::vector<std::unique_ptr<QWidget>> forms_;
    std::unique_ptr<Frm_Modules> modules_;
    QWidget* commandLineControl_ = nullptr;
};

// Reads the password line from standard input (without its line end).
QString readPasswordLine();

}  // namespace orv::host
