// The shared test kit: a temporary database written one record per line, the data-access
// objects over it, the scratch folder of the run, JSON-lines and printer-transcript readers.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "client/dba.h"
#include "engine/database.h"

namespace orv::test {

// A path in the scratch folder of this test run.
QString tempPath(const QString& name);
// Every JSON line of a file (a printer transcript, an automation output).
QList<QJsonObject> readJsonLines(const QString& path);
// The permission bits of a file or folder (0 when it is missing).
unsigned modeOf(const QString& path);

// Points the process at the test CUPS server that $ORV_CUPS names (scripts/cups-test.sh), its
// queues in the printer catalogue once that is read again; empty when the server is there,
// else why it is not.
QString useCupsServer();

// A record from its attributes 1, 2, 3... (the key is given apart).
orv::DynArray record(std::initializer_list<QString> attributes);
// A record from (attribute, text) pairs; the attributes between stay empty.
orv::DynArray sparseRecord(std::initializer_list<std::pair<int, QString>> attributes);

// An embedded database in a temporary folder, with a user DUPONT / secret, and the client's
// objects connected to it as a host would hand them to a control.
class TempDatabase {
  public:
    explicit TempDatabase(std::initializer_list<const char*> files = {});
    virtual ~TempDatabase();

    QString path() const { return dir.filePath(QStringLiteral("essai.orvdb")); }
    void createFiles(std::initializer_list<const char*> files);
    // One record in one line: write("ASSOCIATION", "001", {"ASSO"}).
    void write(const char* file, const QString& key, std::initializer_list<QString> attributes);
    void write(const char* file, const QString& key, const orv::DynArray& record);
    // A dictionary item of `file`: attribute number, conversion, format ("10L", "5R").
    void dictionary(const char* file, const QString& item, int attribute,
                    const QString& conversion = QString(), const QString& format = "10L");

    dba::Database& db() { return *database; }

    QTemporaryDir dir;  // declared first: the database file lives in it
    std::shared_ptr<orv::Database> engine;
    std::unique_ptr<dba::Client> client;
    dba::Database* database = nullptr;
};

// The frame's fixture: legal entities and activities with their billing modes, and the sort
// dictionary of the activities.
struct Fixture : TempDatabase {
    Fixture();
    void entity(const QString& code, const QString& acronym);
    void activity(const QString& key, const QString& mode);
};

// A transcript printer's output read back as lines of text.
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

}  // namespace orv::test

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
