// The client's selection commands run on the server: "DBA.SELECT" and "DATE.FORMAT".
#pragma once

namespace orv {

class Database;

// "DBA.SELECT": argument 1 the text of a query request, argument 2 receives the selected keys,
// one per attribute. "DATE.FORMAT": dates are already shown as dd/mm/yyyy, the command is
// accepted as it is.
void registerSelectionRoutines(Database& db);

}  // namespace orv
