#include "routines/selection.h"

#include "engine/attribute_list.h"
#include "engine/database.h"

namespace orv {

void registerSelectionRoutines(Database& db) {
    db.registerRoutine("DBA.SELECT", [](Session& s, std::vector<std::string>& args) {
        if (args.size() < 3) args.resize(3);
        DynArray request(args[1]);
        std::vector<std::string> keys = s.database().select(request.extractString(1));
        args[2] = joinAttributes(keys);
    });
    db.registerRoutine("DATE.FORMAT", [](Session&, std::vector<std::string>&) {});
}

}  // namespace orv
