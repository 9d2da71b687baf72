// The access-rights component: one rights object per logged-in user of one database, handing
// out rights entries by rights key. Rights are stored in the database itself:
//
//   DROITSUTIL   key = user name (upper case)
//   DROITSGROUPE key = group name (upper case)
//     1  rights keys (one value each)
//     2  access levels, value for value with attribute 1
//     3  (users only) the groups the user belongs to
//     4  allowed sector codes
//     5  "1" when the sector list of attribute 4 is set (an empty set list means every sector)
//
// How a user's rights are decided:
//   - level of a key: the user's own stored entry for that key wins, whatever its level (so a
//     single user can be denied what a group grants); otherwise the highest level among the
//     user's groups that store the key; otherwise the key is unknown: an entry with an empty key
//     and level 0.
//   - allowed sectors: the user's own list when it is set; otherwise the union of the lists of
//     the user's groups that set one (a group whose set list is empty allows every sector);
//     when neither the user nor any group sets a list, every sector is allowed.
//   - an entry whose level is 0 allows no sector at all: no access means no data.
#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

#include "client/dba.h"

namespace orv {

// The sectors a user may see: every sector, or the listed ones.
struct SectorSet {
    bool all = true;
    QStringList codes;

    bool allows(const QString& code) const { return all || codes.contains(code); }
};

// The access levels of a rights entry: none, consultation, full (validate, print).
enum class AccessLevel : int { None = 0, Read = 1, Full = 2 };

class RightsEntry {
  public:
    RightsEntry() = default;
    RightsEntry(QString key, int level, SectorSet sectors = {})
        : key_(std::move(key)), level_(level), sectors_(std::move(sectors)) {}

    const QString& key() const { return key_; }
    void setKey(const QString& key) { key_ = key; }
    int level() const { return level_; }
    void setLevel(int level) { level_ = level; }
    // The level as the system reads it: exactly 2 is full access, 0 (or below) none, any other
    // stored level consultation only.
    AccessLevel access() const {
        if (level_ == 2) return AccessLevel::Full;
        return level_ <= 0 ? AccessLevel::None : AccessLevel::Read;
    }
    bool full() const { return access() == AccessLevel::Full; }
    const SectorSet& sectors() const { return sectors_; }
    void setSectors(SectorSet sectors) { sectors_ = std::move(sectors); }

    // True when the user may see the data of the sector. The second argument is the classic
    // call's fixed 0 and is not used.
    bool sectorAllowed(const QString& sectorCode, int unused = 0) const;

  private:
    QString key_;
    int level_ = 0;
    SectorSet sectors_;
};

// The rights object handed to windows and controls through DroitsUtilisateur.
class Rights : public QObject {
    Q_OBJECT
  public:
    explicit Rights(QObject* parent = nullptr);

    // The database the rights are read from; the stored rights are read again on the next
    // lookup.
    void setDatabase(dba::Database* database);
    dba::Database* database() const { return database_; }
    // The logged-in user, upper-cased here.
    void setUser(const QString& user);
    const QString& user() const { return user_; }

    // The entry for a key: an entry added to the collection first, else the stored rights.
    // Always an entry: an unknown key gives an empty key and level 0.
    RightsEntry entry(const QString& key);
    // Adds (or replaces) an entry of the collection under its key.
    void add(const RightsEntry& entry);

  private:
    void loadStored();

    QPointer<dba::Database> database_;
    QString user_;
    QMap<QString, RightsEntry> added_;
    // The user's stored rights, resolved once per database and user.
    bool loaded_ = false;
    QMap<QString, int> levels_;
    SectorSet sectors_;
};

}  // namespace orv
