// The base of the module controls: the members a host sets and reads by name (TheClient,
// TheDatabase, DroitsUtilisateur, W_Sortir), the start method Init with its common skeleton,
// the exit handshake, and the right-click help menu.
//
// A host uses the members in this order: TheClient, TheDatabase, DroitsUtilisateur, the
// control's own members, then Init (or the control's own start method, e.g. Edition), and reads
// W_Sortir whenever its window is about to close (orv::hostMayClose).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "rights/rights.h"

class QMenu;
class QAction;
class QMouseEvent;

namespace dba {
class Client;
class Database;
}  // namespace dba

namespace orv {

class LibraryObjects;

class ModuleControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QObject* TheClient READ theClientObject WRITE setTheClient)
    Q_PROPERTY(QObject* TheDatabase READ theDatabaseObject WRITE setTheDatabase)
    Q_PROPERTY(QObject* DroitsUtilisateur READ droitsUtilisateurObject WRITE setDroitsUtilisateur)
    Q_PROPERTY(bool W_Sortir READ wSortir)

  public:
    // `objects` is the control library's own holder (library_objects.h). `rightsKey` is the
    // control's rights key ("COMPTEURFACT"); empty for a control without rights, which then
    // ignores DroitsUtilisateur.
    ModuleControl(LibraryObjects& objects, QString rightsKey, QWidget* parent = nullptr);
    ~ModuleControl() override;

    // Host-facing members. Objects of another type than expected are refused with
    // std::invalid_argument.
    void setTheClient(QObject* client);
    void setTheDatabase(QObject* database);
    // Keeps the rights object and at once fetches the entry of the control's rights key.
    void setDroitsUtilisateur(QObject* rights);
    bool wSortir() const { return wSortir_; }

    // Start method: runs start(). A control that starts under another name declares its own
    // Q_INVOKABLE (HoraireAidants: Edition) and no start(); a host prefers that one
    // (orv::startMethodName).
    Q_INVOKABLE void Init();

    dba::Client* client() const;
    dba::Database* database() const;
    Rights* rights() const { return rights_; }
    const RightsEntry& rightsEntry() const { return entry_; }
    AccessLevel accessLevel() const { return entry_.access(); }
    const QString& rightsKey() const { return rightsKey_; }

    // The right-click help menu (null in controls without it).
    QMenu* helpMenu() const { return mnuAide_; }

  protected:
    // ---- Start: what Init does, in the control's own order. The usual shape:
    //   dba::Database& db = requireDatabase();
    //   { orv::BusyScope busy(this); open files; build the entity list; applyRights(); }
    //   clear the details; select a single entity; focus the code box.
    // The default does nothing (a control started by another method).
    virtual void start() {}
    // The open database, or the data-access error "not connected" when the host has not set
    // TheDatabase (or has deleted it) before starting the control.
    dba::Database& requireDatabase() const;
    // Hides actionButton() unless the access level is full.
    void applyRights();
    // The button hidden without full rights (Cmd_OK, Cmd_Ok); null when none.
    virtual QWidget* actionButton() const { return nullptr; }

    // ---- Exit handshake. leave() sets W_Sortir, runs releaseResources(), drops the rights
    // object, its entry and the library's database reference, then closes the host window.
    // A control with its own order calls the pieces below itself.
    void leave();
    virtual void releaseResources() {}
    void setSortir() { wSortir_ = true; }
    void releaseRights();
    void releaseDatabase();
    // Closes the window hosting the control (a top-level window or an MDI child window).
    void closeHostWindow();

    // ---- Right-click help menu: call enableHelpMenu() in the constructor of a control that
    // has one; choosing Mnu_Sommaire runs Mnu_Sommaire_Click().
    void enableHelpMenu();
    virtual void Mnu_Sommaire_Click() {}
    void mousePressEvent(QMouseEvent* event) override;

  private:
    LibraryObjects& objects_;
    QString rightsKey_;
    QPointer<Rights> rights_;
    RightsEntry entry_;
    bool wSortir_ = false;
    QMenu* mnuAide_ = nullptr;
    QAction* mnuSommaire_ = nullptr;

    QObject* theClientObject() const;
    QObject* theDatabaseObject() const;
    QObject* droitsUtilisateurObject() const;
};

// The window that hosts a control: a top-level window or an MDI child window.
QWidget* hostWindowOf(QWidget* control);

}  // namespace orv
