// The server routine "EDITEMPLOITEMPS": builds the timetable record "EMPLOITPS" + user of file
// TEMPO from the visits of file PLANNING, in the column layout that the timetable printout of
// HoraireAidants prints. See emploi_du_temps.cpp for the layout and the selection rules.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace orv {

class Database;
class Session;

// The routine's arguments, in the order of its call text "EDITEMPLOITEMPS |a|b|...".
struct DemandeEmploiDuTemps {
    std::string codAidant;  // one helper's timetable
    std::string user;       // the record is "EMPLOITPS" + user
    long jourDebut = 0;     // internal day numbers, both included
    long jourFin = 0;
    std::string codeAide;  // one client's timetable
    std::string asso;      // several persons: legal entity of the person (attribute 20)
    std::string act;       // only the visits of this activity
    std::string tri;       // "NOM": persons by name; otherwise by code
    std::string select;    // sector of the person (helper 31, client 23)
    std::string de;        // person code bounds, both included; empty: open
    std::string a;
    std::string aidantAide;      // "AIDANT" or "AIDE": the kind of persons selected
    bool sansMail = false;       // leave out the persons who have an e-mail address
    bool sansTlgMobile = false;  // leave out the helpers who clock in with the mobile app

    static DemandeEmploiDuTemps depuisArguments(const std::vector<std::string>& args);
};

// The kind of persons of an edition ("AIDANT", "AIDE"), read as the routine and the printout
// both read it: blanks around and the case do not count ("aidant" is "AIDANT").
inline QString genrePersonnes(const QString& texte) { return texte.trimmed().toUpper(); }

// The timetable record's lines: attribute 1 then the lines from attribute 2, ending with "FIN".
std::vector<std::string> construireEmploiDuTemps(Database& db, const DemandeEmploiDuTemps& d);

// Registers "EDITEMPLOITEMPS" in the database's routines.
void registerTimetableRoutine(Database& db);

}  // namespace orv
