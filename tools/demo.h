// The demo database: realistic, deterministic data for every file the modules read, anchored on
// today's date (orv::today(), fixed by ORVANELLE_TODAY) so that pay periods, quarters and import
// reports fall where the screens look for them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orv {
class Database;
}

namespace orv::tools {

enum class DemoProfile { Administrator, FullRights, PartialRights, NoRights };

struct DemoUser {
    std::string name;
    std::string password;
    DemoProfile profile;
};

// The demo users, their passwords and what each may do (README.md, "Demo users").
const std::vector<DemoUser>& demoUsers();

// Gives a demo user the rights of its profile. The rights component registers it (from its own
// source file, with a static initialiser); without one the users are created without rights.
using DemoRightsHook = std::function<void(Database&, const DemoUser&)>;
bool setDemoRightsHook(DemoRightsHook hook);
const DemoRightsHook& demoRightsHook();

struct DemoCounts {
    long records = 0;
};

// Writes the demo data into a database whose schema is already in place. `scale` multiplies the
// volumes of people, contracts, absences, declarations and invoices.
DemoCounts buildDemoData(Database& db, int scale);

// The indexes the modules' selections use: the invoice archive's entity, period and billing
// mode, the helper of an absence, the quarter and centre of a declaration.
struct DemoIndex {
    const char* file;
    const char* field;
};
const std::vector<DemoIndex>& demoIndexes();

}  // namespace orv::tools
