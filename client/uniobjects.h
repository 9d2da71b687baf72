// The session library used by the menu program: a session that connects with a user name and
// password, opens files, reads records by current key, and calls server routines.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/database.h"
#include "engine/dynarray.h"

namespace uni {

inline constexpr int kRecordNotFound = 30001;
inline constexpr int kFileNotFound = 30002;
inline constexpr int kNotConnected = 30003;
inline constexpr int kRoutineError = 30004;
// Connect: the embedded database's file does not exist, or exists but cannot be opened.
inline constexpr int kDatabaseNotFound = 30005;
inline constexpr int kDatabaseUnreadable = 30006;

class Record {
  public:
    Record() = default;
    explicit Record(orv::DynArray array) : array_(std::move(array)) {}
    QString Field(int i) const;
    void setField(int i, const QString& text);
    int count() const { return array_.count(); }
    QString text() const;
    void setText(const QString& text);
    orv::DynArray& array() { return array_; }

  private:
    orv::DynArray array_;
};

class File {
  public:
    File(std::shared_ptr<orv::Session> session, QString name);
    void setRecordId(const QString& key) { key_ = key; }
    // Reads the record of the current key; Error() is then 0 or kRecordNotFound.
    void Read();
    int Error() const { return error_; }
    Record& record() { return record_; }
    const QString& name() const { return name_; }

  private:
    std::shared_ptr<orv::Session> session_;
    QString name_;
    QString key_;
    int error_ = 0;
    Record record_;
};

class Subroutine {
  public:
    Subroutine(std::shared_ptr<orv::Session> session, QString name, int argCount);
    void ResetArgs();
    void SetArg(int index, const QString& value);
    void Call();
    int Error() const { return error_; }
    QString errorText() const { return errorText_; }
    QString GetArg(int index) const;

  private:
    std::shared_ptr<orv::Session> session_;
    QString name_;
    std::vector<std::string> args_;
    int error_ = 0;
    QString errorText_;
};

class Session : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString HostName MEMBER hostName_)
    Q_PROPERTY(QString AccountPath MEMBER accountPath_)
    Q_PROPERTY(int DataBaseType MEMBER dataBaseType_)
    Q_PROPERTY(QString UserName MEMBER userName_)
    Q_PROPERTY(QString Password MEMBER password_)
  public:
    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    void setHostName(const QString& v) { hostName_ = v; }
    void setAccountPath(const QString& v) { accountPath_ = v; }
    void setDataBaseType(int v) { dataBaseType_ = v; }
    void setUserName(const QString& v) { userName_ = v; }
    void setPassword(const QString& v) { password_ = v; }
    const QString& accountPath() const { return accountPath_; }
    const QString& hostName() const { return hostName_; }
    const QString& userName() const { return userName_; }

    // Checks the user name and password against the database's users. Error() is 0 after a
    // successful connection, non-zero otherwise (and the session stays disconnected):
    // kDatabaseNotFound or kDatabaseUnreadable when an embedded database cannot be opened,
    // kNotConnected for a refused user or password and anything the server refuses.
    bool Connect();
    int Error() const { return error_; }
    QString errorText() const { return errorText_; }
    bool isConnected() const { return session_ != nullptr; }
    void Disconnect();

    // Throws std::runtime_error naming the file when it does not exist.
    std::shared_ptr<File> OpenFile(const QString& name);
    std::shared_ptr<uni::Subroutine> Subroutine(const QString& name, int argCount);

  private:
    QString hostName_;
    QString accountPath_;
    int dataBaseType_ = 2;
    QString userName_;
    QString password_;
    int error_ = 0;
    QString errorText_;
    std::shared_ptr<orv::Session> session_;
};

}  // namespace uni
