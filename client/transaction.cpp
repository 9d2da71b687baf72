#include "client/transaction.h"

#include "client/dba.h"

namespace dba {

void Transaction(Database& db, const std::function<void()>& work) {
    orv::Storage& storage = db.session().database().storage();
    translated([&] { storage.begin(); });
    try {
        translated(work);
    } catch (...) {
        try {
            storage.rollback();
        } catch (const orv::DbError&) {
            // The connection is gone: the server has dropped the transaction itself.
        }
        throw;
    }
    translated([&] { storage.commit(); });
}

}  // namespace dba
