// The objects a module-control library keeps library-wide: the data-access client and the open
// database set through TheClient and TheDatabase, shared by every instance of the control in
// the process. Each control library owns one holder, in an anonymous namespace so that two
// libraries loaded in one process never share it:
//
//   namespace {
//   orv::LibraryObjects& libraryObjects() {
//       static orv::LibraryObjects objects;
//       return objects;
//   }
//   }  // namespace
#pragma once

#include <QPointer>

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

}  // namespace orv
