// A small declarations database for the statement and its control, on the shared test kit.
#pragma once

#include <QString>
#include <initializer_list>

#include "testkit.h"

namespace declartrim::test {

using orv::test::Ligne;
using orv::test::lireTranscription;
using orv::test::Transcription;

// The files the control and the statement read, with the dictionary items of the selection.
class BaseReleve : public orv::test::TempDatabase {
  public:
    // `absents`: files left out of the database (a database of another version).
    explicit BaseReleve(std::initializer_list<const char*> absents = {});

    void ecrire(const char* fichier, const QString& cle, std::initializer_list<QString> attributs) {
        write(fichier, cle, attributs);
    }
    // A helper (CIVILAIDE, ELTSPARTEMP) and one declaration, by default of the quarter 4 of 2004
    // for entity 001 and centre 38, keyed helper code + entity + centre + year and quarter;
    // amounts are attributes 5 to 13 and 17 of DETAILCHGPARTEMP.
    void aide(const QString& code, const QString& nom, const QString& prenom,
              const QString& affiliation);
    void declaration(const QString& code, std::initializer_list<QString> montants6a13,
                     const QString& regul = QString(), const QString& ajout17 = QString(),
                     const QString& entite = QStringLiteral("001"),
                     const QString& centre = QStringLiteral("38"),
                     const QString& trimestre = QStringLiteral("20044"));
    // n helpers 10001... with one declaration each.
    void declarations(int n);
};

}  // namespace declartrim::test
