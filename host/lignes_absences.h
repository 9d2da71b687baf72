// The report lines of the absence report (TraceAbsences.Ctr_Impression's Requete), built from
// the database as the suite's container builds them: one attribute a line, by group (sector or
// commune, when the report is grouped), helper name, then start day.
//
//   absence list      every absence of ABSENCESAIDANT that meets the period and whose chart
//                     category was chosen: 1 work stoppages (W_ArretTravail), 2 leave
//                     (W_Conges), 3 family events and other absences (W_EvtFam); a request still
//                     pending (attribute 4 "EnC") only with W_AValider. Values: 1 the key,
//                     2 the motive label, 3 the end day.
//   forecast leave    every leave request of DEMANDESCONGES that meets the period: 1 the key,
//                     2 the motive label, 3 the status (Ref, Acc, EnC), 8 the helper's
//                     seniority in whole years at the start day (from her earliest contract),
//                     9 the dependent children declared, 14 the key's first seven characters,
//                     the start day and the end day, 15 the days asked for.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "client/dba.h"

namespace orv::host {

enum class Regroupement { Aucun, Secteur, Commune };

struct CriteresAbsences {
    long debut = 0;
    long fin = 0;
    bool previsionnel = false;
    Regroupement regroupement = Regroupement::Aucun;
    bool arretsTravail = true;
    bool conges = true;
    bool evenementsFamiliaux = true;
    bool aValider = true;
};

// The chart category of an absence motive (1 work stoppages, 2 leave, 3 the others).
int categorieMotif(int motif);

dba::Record lignesAbsences(dba::Database& db, const CriteresAbsences& criteres);

// The values of every attribute of a record (value k of attribute i at [i - 1][k - 1]), split
// in one pass: none for an empty record.
QList<QStringList> valeursDesLignes(const dba::Record& r);

}  // namespace orv::host
