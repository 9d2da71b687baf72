// A fixture database on a temporary path: legal entities, activities with their billing modes,
// the sort dictionary of the activities, and a user with a password.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <utility>
#include <vector>

#include "client/dba.h"
#include "engine/database.h"

namespace orv::test {

struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<orv::Database> engine;
    std::unique_ptr<dba::Client> client;
    dba::Database* database = nullptr;

    Fixture();
    QString path() const { return dir.filePath(QStringLiteral("essai.orvdb")); }
    // An entity with its acronym; activities are keys beginning with the entity code.
    void entity(const QString& code, const QString& acronym);
    void activity(const QString& key, const QString& mode);
};

}  // namespace orv::test
