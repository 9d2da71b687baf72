#include "rights/rights.h"

#include "client/dba.h"
#include "rights/rights_store.h"

namespace orv {

bool RightsEntry::sectorAllowed(const QString& sectorCode, int) const {
    return level_ != 0 && sectors_.allows(sectorCode);
}

Rights::Rights(QObject* parent) : QObject(parent) {}

void Rights::setDatabase(dba::Database* database) {
    database_ = database;
    loaded_ = false;
}

void Rights::setUser(const QString& user) {
    user_ = user.trimmed().toUpper();
    loaded_ = false;
}

void Rights::loadStored() {
    levels_.clear();
    sectors_ = SectorSet{};
    loaded_ = true;
    if (!database_ || user_.isEmpty()) return;
    const rights::ResolvedRights resolved =
        dba::translated([&] { return rights::resolve(database_->session().database(), user_); });
    levels_ = resolved.levels;
    sectors_ = resolved.sectors;
}

RightsEntry Rights::entry(const QString& key) {
    if (added_.contains(key)) return added_.value(key);
    if (!loaded_) loadStored();
    // Keys are stored upper-cased; the menu looks some up in mixed case ("Moniteurs").
    const QString stored = key.trimmed().toUpper();
    if (!levels_.contains(stored)) return RightsEntry(QString(), 0, sectors_);
    return RightsEntry(key, levels_.value(stored), sectors_);
}

void Rights::add(const RightsEntry& entry) { added_[entry.key()] = entry; }

}  // namespace orv
