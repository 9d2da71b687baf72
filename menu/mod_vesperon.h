// The shared telegestion files: reading a record by key through the session, and opening and
// releasing the handles kept in the program-wide values.
#pragma once

#include <QString>

#include "menu/programme.h"

namespace menu {

// Reads the record `key` of an open session file. True when it was read (`record` is then that
// record); false when there is no such record (`record` becomes empty) or the session reported
// another problem (`record` is left unchanged).
bool LireEnregistrement(uni::File& file, uni::Record& record, const QString& key);

// Opens VESPERONRAPPORTS, PERIODESPAIE and TLGPARAM through the session and keeps the handles.
void OuvrirFichiersVesperon(Programme& programme);
// Releases the four handles and their current records.
void LibererFichiersVesperon(Programme& programme);

}  // namespace menu
