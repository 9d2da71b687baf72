// A temporary database of either back end for selection tests, whose storage counts how
// records were read (whole-file scans, key-range reads and the records each one visited).
//
// With ORV_QUERY_WITH_INDEXES=1 in the environment, every dictionary item the tests declare is
// indexed as soon as it is written (those that cannot be, translated ones, are left alone): the
// same tests then check that indexes change no result. CTest runs the suite both ways.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "backends.h"
#include "engine/database.h"
#include "engine/dynarray.h"
#include "engine/storage.h"
#include "routines/routines.h"

namespace orv::testing {

inline const std::string Q = "\"";

// Forwards everything to the real storage and records how selections read files: visited
// counts the records the storage sent (a server may leave out those that cannot pass).
class CountingStorage : public Storage {
  public:
    explicit CountingStorage(std::unique_ptr<Storage> inner) : inner_(std::move(inner)) {}

    int scans = 0;
    int prefixScans = 0;
    std::string lastPrefix;
    int visited = 0;
    int indexScans = 0;
    int recordsRead = 0;  // by readRecords
    int keysOnly = 0;     // keys read without their records, by scanKeys

    std::vector<std::string> fileNames() override { return inner_->fileNames(); }
    bool hasFile(const std::string& f) override { return inner_->hasFile(f); }
    void createFile(const std::string& f) override { inner_->createFile(f); }
    void dropFile(const std::string& f) override { inner_->dropFile(f); }
    std::optional<std::string> read(const std::string& f, const std::string& k) override {
        return inner_->read(f, k);
    }
    void write(const std::string& f, const std::string& k, const std::string& r) override {
        inner_->write(f, k, r);
    }
    bool remove(const std::string& f, const std::string& k) override {
        return inner_->remove(f, k);
    }
    void clear(const std::string& f) override { inner_->clear(f); }
    int64_t count(const std::string& f) override { return inner_->count(f); }
    // Dictionary reads are not counted: only the selected file's records are.
    void scan(const std::string& f, const Visitor& v) override {
        if (isDictionary(f)) return inner_->scan(f, v);
        ++scans;
        inner_->scan(f, counted(v));
    }
    void scanPrefix(const std::string& f, const std::string& p, const Visitor& v) override {
        ++prefixScans;
        lastPrefix = p;
        inner_->scanPrefix(f, p, counted(v));
    }
    void scanKeys(const std::string& f, const std::string& p, const KeyVisitor& v) override {
        ++prefixScans;
        lastPrefix = p;
        inner_->scanKeys(f, p, [&](std::string_view k) {
            ++keysOnly;
            return v(k);
        });
    }
    void scanRecords(const std::string& f, const std::optional<std::string>& p,
                     const ScanFilter& filter, const RowVisitor& v) override {
        if (p) {
            ++prefixScans;
            lastPrefix = *p;
        } else if (!isDictionary(f)) {
            ++scans;
        }
        inner_->scanRecords(f, p, {RecordFilter(), filter.required}, [&](Row& row) {
            ++visited;
            return (filter.keep && !filter.keep(row.record())) || v(row);
        });
    }
    void readRecords(const std::string& f, const std::vector<int64_t>& positions,
                     const RowVisitor& v) override {
        inner_->readRecords(f, positions, [&](Row& row) {
            ++recordsRead;
            return v(row);
        });
    }
    std::vector<std::string> indexes(const std::string& f) override { return inner_->indexes(f); }
    void createIndex(const std::string& f, const std::string& field) override {
        inner_->createIndex(f, field);
    }
    bool dropIndex(const std::string& f, const std::string& field) override {
        return inner_->dropIndex(f, field);
    }
    void insertIndexEntry(const std::string& f, const std::string& field, std::string_view value,
                          std::string_view key) override {
        inner_->insertIndexEntry(f, field, value, key);
    }
    void eraseIndexEntry(const std::string& f, const std::string& field, std::string_view value,
                         std::string_view key) override {
        inner_->eraseIndexEntry(f, field, value, key);
    }
    size_t entriesWorthOneRecord() const override { return inner_->entriesWorthOneRecord(); }
    void scanIndex(const std::string& f, const std::string& field, std::string_view from,
                   std::string_view to, const EntryVisitor& v) override {
        ++indexScans;
        inner_->scanIndex(f, field, from, to, v);
    }
    void begin() override { inner_->begin(); }
    void commit() override { inner_->commit(); }
    void rollback() override { inner_->rollback(); }
    std::optional<LockOwner> otherHolder(const std::string& f, const std::string& k,
                                         const std::string& s) override {
        return inner_->otherHolder(f, k, s);
    }
    std::optional<LockOwner> tryLock(const std::string& f, const std::string& k,
                                     const LockOwner& o) override {
        return inner_->tryLock(f, k, o);
    }
    void unlock(const std::string& f, const std::string& k, const std::string& s) override {
        inner_->unlock(f, k, s);
    }
    void unlockAll(const std::string& s) override { inner_->unlockAll(s); }

    void resetCounts() {
        scans = prefixScans = visited = indexScans = recordsRead = keysOnly = 0;
        lastPrefix.clear();
    }

  private:
    static bool isDictionary(const std::string& f) { return f.rfind("DICT ", 0) == 0; }
    Visitor counted(const Visitor& v) {
        return [this, &v](std::string_view k, std::string_view r) {
            ++visited;
            return v(k, r);
        };
    }
    std::unique_ptr<Storage> inner_;
};

class QueryTest : public test::BackendTest {
  protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto counting = std::make_unique<CountingStorage>(store().openStorage());
        storage_ = counting.get();
        db_ = std::make_shared<Database>(std::move(counting));
        orv::routines::registerAll(*db_);
    }
    void TearDown() override {
        db_.reset();
        BackendTest::TearDown();
    }

    // A dictionary item: D, attribute, conversion, heading, format, S/M.
    void dict(const std::string& file, const std::string& name, int attribute,
              const std::string& conversion = "", const std::string& format = "10L") {
        if (!db_->hasFile(file)) db_->createFile(file);
        DynArray item;
        item.replace(1, "D");
        item.replace(2, std::to_string(attribute));
        item.replace(3, conversion);
        item.replace(4, name);
        item.replace(5, format);
        item.replace(6, "S");
        db_->write("DICT " + file, name, item);
        const auto existing = db_->indexes(file);
        if (!withIndexes() || std::find(existing.begin(), existing.end(), name) != existing.end())
            return;
        try {
            db_->createIndex(file, name);
        } catch (const DbError&) {
            // Translated or unusable items are not indexed; selections report the latter.
        }
    }

    static bool withIndexes() {
        const char* flag = std::getenv("ORV_QUERY_WITH_INDEXES");
        return flag && std::string(flag) == "1";
    }

    // A record whose attributes are given from attribute 1.
    void put(const std::string& file, const std::string& key,
             const std::vector<std::string>& attributes) {
        if (!db_->hasFile(file)) db_->createFile(file);
        DynArray record;
        for (size_t i = 0; i < attributes.size(); ++i)
            record.replace(static_cast<int>(i + 1), attributes[i]);
        db_->write(file, key, record);
    }

    std::vector<std::string> select(const std::string& statement) { return db_->select(statement); }

    std::shared_ptr<Database> db_;
    CountingStorage* storage_ = nullptr;
};

using Keys = std::vector<std::string>;

}  // namespace orv::testing
