// A small leave database (the shared test kit's temporary database): the files the leave tally
// reads, the dictionary of ABSENCESAIDANT, and helpers writing records from their attributes.
// Dates are given as display dates and stored as internal day numbers.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <utility>

#include "controls/soldeconges/mod_procedure.h"
#include "platform/message_services.h"
#include "testkit.h"

namespace soldeconges::test {

// Internal day number of a display date ("20/05/2006").
QString j(const QString& date);

class BaseConges : public orv::test::TempDatabase {
  public:
    BaseConges();

    // Attribute number -> value; a value holding "|" is stored as multivalues.
    using Attributs = std::initializer_list<std::pair<int, QString>>;
    void ecrire(const char* fichier, const QString& cle, Attributs attributs);
    void supprimer(const char* fichier, const QString& cle);
    void periodePaie(const QString& periode) { ecrire("PERIODESPAIE", "1", {{1, periode}}); }
    // Agreement "01": paid leave in working days or not, calendar year or June-May.
    void convention(bool joursOuvres, bool anneeCivile = false, bool ancienneteAuDebut = false);
    // Absence of helper 00101 from `debut` to `fin` (display dates); `parts`: contract shares
    // as "contract key, start, end" (display dates), all flagged "O".
    QString absence(const QString& motif, const QString& debut, const QString& fin,
                    QList<QStringList> parts = {});

    // Replaces the routine by one answering from `reponses` by the key it receives in
    // attribute 1 ("0" for any other), and recording the records it received.
    void routineSimulee(QMap<QString, QString> reponses);
    QList<dba::Record> recus;

    // Opens the files and reads the contract and its agreement into `v`.
    void charger(Mod_Variables& v, const QString& contrat = QStringLiteral("00101*01"));

    orv::ScriptedMessageService messages;
    orv::ScopedMessageService portee{&messages};
};

}  // namespace soldeconges::test
