// A small timetable database on the shared test kit: helpers, clients, visits of PLANNING with
// the dictionary items the routine selects by, and TEMPO for the timetable record.
#pragma once

#include <QString>
#include <QStringList>

#include "testkit.h"

namespace horaireaidants::test {

using orv::test::lireTranscription;
using orv::test::Transcription;

// Day 13924 is Monday 13 February 2006.
inline constexpr long kLundi = 13924;

class BaseEmploi : public orv::test::TempDatabase {
  public:
    BaseEmploi();

    // A person of CIVILAIDANT or CIVILAIDE: name, street (attribute 8), complement (9), town,
    // telephone; entity 20 and sector (helper 31, client 23).
    struct Personne {
        QString code = QString();
        QString nom = QString();
        QString prenom = QStringLiteral("Anne");
        QString rue = QStringLiteral("rue des Lilas");
        QString complement = QString();
        QString tel = QStringLiteral("0476000000");
        QString entite = QStringLiteral("001");
        QString secteur = QStringLiteral("01");
    };
    void aidant(const Personne& p);
    void aide(const Personne& p);

    struct Visite {
        QString aidant = QString();
        QString aide = QString();
        long jour = kLundi;
        QString debut = QStringLiteral("0800");
        QString fin = QStringLiteral("1000");
        QStringList taches{QStringLiteral("Ménage")};
        bool cle = false;
        bool remplacement = false;
        QString activite = QStringLiteral("001001");
    };
    void visite(const Visite& v);

    // Runs the routine with the call text the control sends; returns the record it wrote.
    dba::Record appeler(const QString& texte, const QString& user = QStringLiteral("DUPONT"));
};

}  // namespace horaireaidants::test
