// The data-access client as the system's windows and controls see it: a client object that
// connects and opens databases, database objects (files, queries, commands, routines), file
// objects and record objects. Errors are dba::Error exceptions carrying the client's numbers.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/database.h"
#include "engine/dynarray.h"

namespace dba {

// Error numbers raised by the client objects.
inline constexpr long kRecordNotFound = -2147221493;  // &H8004000B
inline constexpr long kFileNotFound = -2147221500;    // &H80040004
inline constexpr long kRecordLocked = -2147221496;    // &H80040008
inline constexpr long kQueryError = -2147221497;      // &H80040007
inline constexpr long kRoutineError = -2147221498;    // &H80040006
inline constexpr long kNotConnected = -2147221499;    // &H80040005
inline constexpr long kStorageError = -2147221502;    // &H80040002
inline constexpr long kDatabaseBusy = -2147221495;    // &H80040009

class Error : public std::runtime_error {
  public:
    Error(long number, const QString& message)
        : std::runtime_error(message.toStdString()), number_(number) {}
    long number() const { return number_; }
    QString message() const { return QString::fromUtf8(what()); }

  private:
    long number_;
};

// Runs f, turning engine errors into client errors with the client's numbers.
template <class F>
auto translated(F&& f) -> decltype(f());

class File;

// A record: a dynamic array, and for a record read from a file the file and key it is written
// back to by DBWrite. Indexes count from 1; get/put with no index work on the whole text.
class Record {
  public:
    Record() = default;
    explicit Record(const QString& text);
    explicit Record(orv::DynArray array) : array_(std::move(array)) {}

    QString get() const;
    QString get(int a, int v = 0, int s = 0) const;
    void put(const QString& text);
    void put(int a, const QString& value);
    void put(int a, int v, const QString& value);
    void put(int a, int v, int s, const QString& value);

    int DCount() const { return array_.count(); }
    // Value 1 of every attribute, in order, read in one pass (a query result's keys): walking
    // a result of n attributes with get(i, 1) would read it n times.
    QStringList firstValues() const;
    // Inserts value as a new attribute a (the attributes from a on move down by one).
    void Insert(int a, const QString& value);
    // Deletes attribute a (v == 0) or value v of attribute a.
    void Delete(int a, int v);
    // Writes the record back under its key to the file it was read from, releasing its lock.
    void DBWrite();

    const QString& key() const { return key_; }
    orv::DynArray& array() { return array_; }
    const orv::DynArray& array() const { return array_; }

  private:
    friend class File;
    orv::DynArray array_;
    std::shared_ptr<File> file_;
    QString key_;
};

class Database;

class File : public std::enable_shared_from_this<File> {
  public:
    File(std::shared_ptr<orv::Session> session, QString name);
    const QString& name() const { return name_; }

    // Throws kRecordNotFound when the key does not exist.
    Record Read(const QString& key);
    // Takes the record's update lock; a missing record gives an empty record that can be
    // written. Throws kRecordLocked when another user holds it.
    Record ReadForUpdate(const QString& key);
    QString ReadText(const QString& key);
    void Write(const QString& key, const Record& record);
    void Release(const QString& key);

  private:
    friend class Record;
    std::shared_ptr<orv::Session> session_;
    QString name_;
    std::string stdName_;
};

// The request record of a query: attribute 1 the statement, 2 the file, 3 the attribute numbers
// separated by blanks ("0 12").
Record queryRequest(const QString& statement, const QString& file,
                    std::initializer_list<int> fields);

class Database : public QObject {
    Q_OBJECT
  public:
    Database(std::shared_ptr<orv::Session> session, QString label, QObject* parent = nullptr);

    const QString& label() const { return label_; }
    orv::Session& session() { return *session_; }

    std::shared_ptr<File> OpenFile(const QString& name);
    // Runs a query request (1 statement, 2 file, 3 attribute numbers); status is 0.
    Record Query(const Record& request);
    // The same from its parts: the selection statement, the file, the attribute numbers to
    // return (0 = the key). The result has one attribute per selected record, in order, with
    // one value per requested attribute.
    Record Query(const QString& statement, const QString& file, std::initializer_list<int> fields);
    void Query(const QString& request, const QString& option, int& status, Record& result);
    // A command text, or a request whose attribute 1 is "P" and attribute 2 a routine call
    // "NAME |arg1|arg2".
    void RunCommand(const QString& command, const QString& option, int& status, Record& result);
    // Calls a routine with one argument text; the result receives what the routine returns.
    void CallRoutine(const QString& name, int& status, const QString& argument, Record& result);

  private:
    std::shared_ptr<orv::Session> session_;
    QString label_;
};

// The client object. ClientConnect keeps the credentials; OpenDatabase resolves a database
// label to an account path through the locator (by default the label is the path): an embedded
// database file, or "pg:NAME" on the server set by setServer.
class Client : public QObject {
    Q_OBJECT
  public:
    using Locator = std::function<QString(const QString& label)>;
    explicit Client(QObject* parent = nullptr);

    void setLocator(Locator locator) { locator_ = std::move(locator); }
    void setServer(const QString& server) { server_ = server; }
    bool ClientConnect(const QString& user, const QString& password, const QString& extra);
    Database* OpenDatabase(const QString& application, const QString& label);
    const QString& user() const { return user_; }

  private:
    Locator locator_;
    QString server_;
    QString user_;
    QString password_;
};

// Opens (and caches per process) the engine database an account path names: an embedded
// database file, cached per path, or a PostgreSQL database "pg:NAME" on `server` reached as
// `user` with `password`, cached per server, database and user.
std::shared_ptr<orv::Database> openEngineDatabase(const QString& server, const QString& accountPath,
                                                  const QString& user, const QString& password);
// The same for an embedded database file.
std::shared_ptr<orv::Database> openEngineDatabase(const QString& path);

// Maps an engine error to the client's error number.
long errorNumber(const orv::DbError& e);

}  // namespace dba

template <class F>
auto dba::translated(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const orv::DbError& e) {
        throw Error(errorNumber(e), QString::fromUtf8(e.what()));
    }
}
