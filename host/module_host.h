// orvanelle-module: hosts one module control as the suite's container does. Chooses the
// database (--db, or the INI file with --base or the login window), logs in, creates the
// control by identifier, hands it the client, the database and the rights object (TheClient,
// TheDatabase, DroitsUtilisateur, in that order), sets the members given with --set, calls its
// start method and shows it in a window that honours W_Sortir.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

#include "client/dba.h"
#include "client/uniobjects.h"
#include "frame/host_window.h"
#include "frame/ini_serveurs.h"
#include "rights/rights.h"

namespace orv::host {

struct HostOptions {
    QString identifier;
    QString dbPath;  // --db: an embedded database named directly
    QString base;    // --base: a label of the INI file
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

class ModuleHost {
  public:
    explicit ModuleHost(HostOptions options);
    ~ModuleHost();

    // Everything up to the started control; throws HostFailure. False when the user cancelled
    // the login window.
    bool open();
    // Shows the window (unless the control already left during its start).
    void show();
    bool controlLeft() const;

    HostWindow* window() const { return window_.get(); }

  private:
    QString chooseDatabase();
    bool login(const QString& label);
    void beforeFirstModal();
    void openObjects(const QString& label);
    void createControl();
    void requireAccess();
    void requireDeclaredMember(const QString& name) const;
    void bindMembers();
    void startControl();

    HostOptions options_;
    IniServeurs ini_;
    bool iniRead_ = false;
    uni::Session session_;
    QString user_;
    QString password_;
    std::unique_ptr<dba::Client> client_;
    QPointer<dba::Database> database_;
    std::unique_ptr<Rights> rights_;
    std::unique_ptr<HostWindow> window_;
    QWidget* control_ = nullptr;
};

// Reads the password line from standard input (without its line end).
QString readPasswordLine();

}  // namespace orv::host
