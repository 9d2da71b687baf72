#include "client/dba.h"

#include <QFileInfo>
#include <map>
#include <mutex>

#include "client/marks.h"
#include "engine/attribute_list.h"
#include "engine/pg_storage.h"
#include "routines/routines.h"

namespace dba {

long errorNumber(const orv::DbError& e) {
    switch (e.code()) {
        case orv::DbErrorCode::RecordNotFound:
            return kRecordNotFound;
        case orv::DbErrorCode::FileNotFound:
            return kFileNotFound;
        case orv::DbErrorCode::RecordLocked:
            return kRecordLocked;
        case orv::DbErrorCode::QuerySyntax:
        case orv::DbErrorCode::UnknownField:
            return kQueryError;
        case orv::DbErrorCode::UnknownRoutine:
        case orv::DbErrorCode::RoutineFailed:
            return kRoutineError;
        case orv::DbErrorCode::Authentication:
            return kNotConnected;
        case orv::DbErrorCode::Busy:
            return kDatabaseBusy;
        default:
            return kStorageError;
    }
}

std::shared_ptr<orv::Database> openEngineDatabase(const QString& server, const QString& accountPath,
                                                  const QString& user, const QString& password) {
    static std::mutex mutex;
    static std::map<QString, std::weak_ptr<orv::Database>> open;
    const bool onServer = orv::isPgAccountPath(accountPath.toStdString());
    const QString key = onServer ? server + QChar(0) + accountPath + QChar(0) + user
                                 : QFileInfo(accountPath).absoluteFilePath();
    std::lock_guard g(mutex);
    if (auto db = open[key].lock()) return db;
    if (!onServer && !QFileInfo::exists(key))
        throw Error(kFileNotFound,
                    QStringLiteral("Base de données introuvable : %1").arg(accountPath));
    auto db = translated([&] {
        return orv::Database::openAccount(
            server.toStdString(), onServer ? accountPath.toStdString() : key.toStdString(),
            user.toStdString(), password.toStdString(), {.create = false});
    });
    orv::routines::registerAll(*db);
    open[key] = db;
    return db;
}

std::shared_ptr<orv::Database> openEngineDatabase(const QString& path) {
    return openEngineDatabase(QString(), path, QString(), QString());
}

// ---------------------------------------------------------------------------------------------
// Record

Record::Record(const QString& text) : array_(orv::fromQString(text)) {}

QString Record::get() const { return orv::toQString(array_.text()); }

QString Record::get(int a, int v, int s) const { return orv::toQString(array_.extract(a, v, s)); }

QStringList Record::firstValues() const {
    if (array_.text().empty()) return {};
    QStringList values = get().split(QChar(orv::kAttributeMarkChar));
    for (QString& v : values)
        if (const qsizetype mark = v.indexOf(QChar(orv::kValueMarkChar)); mark >= 0)
            v.truncate(mark);
    return values;
}

void Record::put(const QString& text) { array_.setText(orv::fromQString(text)); }
void Record::put(int a, const QString& value) { array_.replace(a, 0, 0, orv::fromQString(value)); }
void Record::put(int a, int v, const QString& value) {
    array_.replace(a, v, 0, orv::fromQString(value));
}
void Record::put(int a, int v, int s, const QString& value) {
    array_.replace(a, v, s, orv::fromQString(value));
}

void Record::Insert(int a, const QString& value) {
    array_.insert(a, 0, 0, orv::fromQString(value));
}

void Record::Delete(int a, int v) { array_.remove(a, v, 0); }

void Record::DBWrite() {
    if (!file_)
        throw Error(kStorageError,
                    QStringLiteral("Enregistrement sans fichier d'origine : écriture impossible"));
    file_->Write(key_, *this);
}

// ---------------------------------------------------------------------------------------------
// File

File::File(std::shared_ptr<orv::Session> session, QString name)
    : session_(std::move(session)), name_(std::move(name)), stdName_(name_.toStdString()) {}

Record File::Read(const QString& key) {
    auto rec = translated([&] { return session_->database().read(stdName_, key.toStdString()); });
    if (!rec)
        throw Error(kRecordNotFound,
                    QStringLiteral("Enregistrement %1 absent du fichier %2").arg(key, name_));
    Record r(std::move(*rec));
    r.file_ = shared_from_this();
    r.key_ = key;
    return r;
}

Record File::ReadForUpdate(const QString& key) {
    auto rec = translated([&] { return session_->readForUpdate(stdName_, key.toStdString()); });
    Record r(rec ? std::move(*rec) : orv::DynArray());
    r.file_ = shared_from_this();
    r.key_ = key;
    return r;
}

QString File::ReadText(const QString& key) { return Read(key).get(); }

void File::Write(const QString& key, const Record& record) {
    translated([&] { session_->write(stdName_, key.toStdString(), record.array()); });
}

void File::Release(const QString& key) {
    translated([&] { session_->release(stdName_, key.toStdString()); });
}

// ---------------------------------------------------------------------------------------------
// Database

Database::Database(std::shared_ptr<orv::Session> session, QString label, QObject* parent)
    : QObject(parent), session_(std::move(session)), label_(std::move(label)) {}

std::shared_ptr<File> Database::OpenFile(const QString& name) {
    translated([&] { session_->database().requireFile(name.toStdString()); });
    return std::make_shared<File>(session_, name);
}

Record Database::Query(const Record& request) {
    return Record(translated([&] { return session_->database().query(request.array()); }));
}

Record queryRequest(const QString& statement, const QString& file,
                    std::initializer_list<int> fields) {
    QStringList numbers;
    for (int f : fields) numbers << QString::number(f);
    Record request;
    request.put(1, statement);
    request.put(2, file);
    request.put(3, numbers.join(QLatin1Char(' ')));
    return request;
}

Record Database::Query(const QString& statement, const QString& file,
                       std::initializer_list<int> fields) {
    return Query(queryRequest(statement, file, fields));
}

void Database::Query(const QString& request, const QString&, int& status, Record& result) {
    result = Query(Record(request));
    status = 0;
}

void Database::RunCommand(const QString& command, const QString&, int& status, Record& result) {
    Record request(command);
    status = 0;
    if (request.DCount() >= 2 && request.get(1) == QLatin1String("P")) {
        // "NAME |a|b": the routine name, a blank, then "|"-separated arguments.
        const QString call = request.get(2);
        const qsizetype blank = call.indexOf(QLatin1Char(' '));
        const QString name = blank < 0 ? call : call.left(blank);
        std::vector<std::string> args;
        if (blank >= 0) {
            QString rest = call.mid(blank + 1);
            if (rest.startsWith(QLatin1Char('|'))) rest.remove(0, 1);
            for (const QString& a : rest.split(QLatin1Char('|'))) args.push_back(a.toStdString());
        }
        translated([&] { session_->call(name.toStdString(), args); });
        result = Record(orv::DynArray(orv::joinAttributes(args)));
        return;
    }
    std::vector<std::string> args;
    translated([&] { session_->call(command.trimmed().toStdString(), args); });
    result = Record();
}

void Database::CallRoutine(const QString& name, int& status, const QString& argument,
                           Record& result) {
    std::vector<std::string> args{orv::fromQString(argument), std::string()};
    translated([&] { session_->call(name.toStdString(), args); });
    result = Record(orv::DynArray(args[1]));
    status = 0;
}

// ---------------------------------------------------------------------------------------------
// Client

Client::Client(QObject* parent) : QObject(parent) {}

bool Client::ClientConnect(const QString& user, const QString& password, const QString&) {
    user_ = user;
    password_ = password;
    return true;
}

Database* Client::OpenDatabase(const QString&, const QString& label) {
    const QString path = locator_ ? locator_(label) : label;
    auto db = openEngineDatabase(server_, path, user_.toUpper(), password_);
    auto session = std::make_shared<orv::Session>(db, user_.toUpper().toStdString());
    return new Database(std::move(session), label, this);
}

}  // namespace dba
