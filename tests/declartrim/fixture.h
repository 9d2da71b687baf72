// A small declarations database on a temporary path, the data-access objects over it, and a
// reader of the transcript printer's JSON lines.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include <ostream>

#include "client/dba.h"
#include "engine/database.h"

namespace declartrim::test {

// A record from its attributes 1, 2, 3... (attribute 0, the key, is given apart).
orv::DynArray enregistrement(std::initializer_list<QString> attributs);

// The files the control and the statement read, with the dictionary items of the selection.
class BaseReleve {
  public:
    // `absents`: files left out of the database (a database of another version).
    explicit BaseReleve(std::initializer_list<const char*> absents = {});

    void ecrire(const char* fichier, const QString& cle, std::initializer_list<QString> attributs);
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

    dba::Database& db() { return *database_; }
    std::shared_ptr<orv::Database> engine;
    QTemporaryDir dir;

  private:
    std::unique_ptr<dba::Database> database_;
};

// One line of a transcript: the texts printed up to a line end, joined.
struct Ligne {
    int page = 0;
    double y = 0;
    bool bold = false;
    QString font;
    double size = 0;
    QString text;
};

struct Transcription {
    QList<Ligne> lignes;
    int pages = 0;
    bool terminee = false;  // ended by "end"
    bool annulee = false;   // ended by a cancel
    QList<QJsonObject> ops;

    QStringList textes(int page = 0) const;  // page 0: every page
    QList<Ligne> commencantPar(const QString& debut) const;
};

Transcription lireTranscription(const QString& path);

}  // namespace declartrim::test

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
