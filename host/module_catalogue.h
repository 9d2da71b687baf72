// The six module controls the container offers in its Modules window: identifier, a line on what
// each does (the French name is the plugin's own), and the rights key that opens it. Four controls
// check a key of their own; ArchivesEnvoi and HoraireAidants have none, so the container checks one
// for them
// ("ARCHIVESENVOI", "HORAIREAIDANTS"), as it does for the others: level 0 greys the module.
#pragma once

#include <QList>
#include <QString>

namespace orv::host {

// What the container asks the user before it hosts the control.
enum class ModuleForm { None, Absences, Timetable, LeaveTally };

struct ModuleEntry {
    QString identifier;
    QString description;
    QString rightsKey;
    ModuleForm form = ModuleForm::None;
};

const QList<ModuleEntry>& moduleCatalogue();
// The entry of that identifier (compared without regard to case); null when none.
const ModuleEntry* findModule(const QString& identifier);
// The French name of the module, from its plugin (the identifier when none is installed).
QString moduleName(const QString& identifier);

}  // namespace orv::host
