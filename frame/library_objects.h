// The objects a module-control library keeps library-wide: the data-access client and the open
// database set through TheClient and TheDatabase, shared by every instance of the control in
// the process. The frame keeps one holder per control library, found by the library's name;
// a control built by orv_add_control reaches its own with orv::thisLibrary().
#pragma once

#include <QPointer>
#include <QString>

#include "client/dba.h"

namespace orv {

class LibraryObjects {
  public:
    dba::Client* client() const { return client_; }
    dba::Database* database() const { return database_; }
    void setClient(dba::Client* client) { client_ = client; }
    void setDatabase(dba::Database* database) { database_ = database; }
    // Drops the library's database reference (the host keeps ownership).
    void releaseDatabase() { database_ = nullptr; }

  private:
    // Guarded pointers: the host owns the objects and may delete them first.
    QPointer<dba::Client> client_;
    QPointer<dba::Database> database_;
};

// The holder of the control library of that name (created on first use, kept for the process).
LibraryObjects& libraryObjects(const QString& library);

#ifdef ORV_CONTROL_LIBRARY
// The holder of the control library being compiled.
inline LibraryObjects& thisLibrary() { return libraryObjects(QStringLiteral(ORV_CONTROL_LIBRARY)); }
// The identifier hosts create this library's control by ("NumeroPieces.Ctr_NumeroPieces").
inline QString thisIdentifier() { return QStringLiteral(ORV_CONTROL_IDENTIFIER); }
#endif

}  // namespace orv
