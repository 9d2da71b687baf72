#include "routines/routines.h"

#include "routines/emploi_du_temps.h"
#include "routines/leave_days.h"
#include "routines/selection.h"

namespace orv::routines {

void registerAll(Database& db) {
    registerSelectionRoutines(db);
    registerLeaveRoutines(db);
    registerTimetableRoutine(db);
}

}  // namespace orv::routines
