#include "client/uniobjects.h"

#include "client/dba.h"
#include "client/marks.h"
#include "engine/pg_storage.h"

namespace uni {

QString Record::Field(int i) const { return orv::toQString(array_.extract(i)); }
void Record::setField(int i, const QString& text) { array_.replace(i, orv::fromQString(text)); }
QString Record::text() const { return orv::toQString(array_.text()); }
void Record::setText(const QString& text) { array_.setText(orv::fromQString(text)); }

File::File(std::shared_ptr<orv::Session> session, QString name)
    : session_(std::move(session)), name_(std::move(name)) {}

void File::Read() {
    auto rec = session_->database().read(name_.toStdString(), key_.toStdString());
    if (!rec) {
        error_ = kRecordNotFound;
        record_ = Record();
        return;
    }
    error_ = 0;
    record_ = Record(std::move(*rec));
}

Subroutine::Subroutine(std::shared_ptr<orv::Session> session, QString name, int argCount)
    : session_(std::move(session)),
      name_(std::move(name)),
      args_(static_cast<size_t>(std::max(argCount, 0))) {}

void Subroutine::ResetArgs() {
    for (auto& a : args_) a.clear();
    error_ = 0;
    errorText_.clear();
}

void Subroutine::SetArg(int index, const QString& value) {
    if (index < 0) return;
    if (static_cast<size_t>(index) >= args_.size()) args_.resize(index + 1);
    args_[index] = orv::fromQString(value);
}

void Subroutine::Call() {
    try {
        session_->call(name_.toStdString(), args_);
        error_ = 0;
        errorText_.clear();
    } catch (const orv::DbError& e) {
        error_ = kRoutineError;
        errorText_ = QString::fromUtf8(e.what());
    }
}

QString Subroutine::GetArg(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= args_.size()) return {};
    return orv::toQString(args_[index]);
}

Session::Session(QObject* parent) : QObject(parent) {}

Session::~Session() { Disconnect(); }

bool Session::Connect() {
    Disconnect();
    try {
        const QString user = userName_.toUpper();
        std::shared_ptr<orv::Database> db;
        try {
            db = dba::openEngineDatabase(hostName_, accountPath_, user, password_);
        } catch (const dba::Error& e) {
            // A server refuses the connection itself when the password is wrong. An embedded
            // database that is missing or not a database is no question of password.
            if (!orv::isPgAccountPath(accountPath_.toStdString()) &&
                e.number() != dba::kNotConnected) {
                error_ = e.number() == dba::kFileNotFound ? kDatabaseNotFound : kDatabaseUnreadable;
                errorText_ = e.message();
                return false;
            }
            if (e.number() != dba::kNotConnected) throw;
        }
        if (!db || !db->checkPassword(user.toStdString(), password_.toStdString())) {
            error_ = kNotConnected;
            errorText_ = QStringLiteral("Utilisateur ou mot de passe incorrect");
            return false;
        }
        session_ = std::make_shared<orv::Session>(db, userName_.toUpper().toStdString());
        error_ = 0;
        errorText_.clear();
        return true;
    } catch (const std::exception& e) {
        error_ = kNotConnected;
        errorText_ = QString::fromUtf8(e.what());
        return false;
    }
}

void Session::Disconnect() { session_.reset(); }

std::shared_ptr<File> Session::OpenFile(const QString& name) {
    if (!session_) throw dba::Error(dba::kNotConnected, QStringLiteral("Session non connectée"));
    dba::translated([&] { session_->database().requireFile(name.toStdString()); });
    return std::make_shared<File>(session_, name);
}

std::shared_ptr<uni::Subroutine> Session::Subroutine(const QString& name, int argCount) {
    if (!session_) throw dba::Error(dba::kNotConnected, QStringLiteral("Session non connectée"));
    return std::make_shared<uni::Subroutine>(session_, name, argCount);
}

}  // namespace uni
