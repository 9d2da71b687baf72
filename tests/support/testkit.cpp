#include "testkit.h"

#include <sys/stat.h>
#include <QFile>
#include <QJsonDocument>

#include "client/marks.h"

namespace orv::test {

QString tempPath(const QString& name) {
    return qEnvironmentVariable("ORV_TEST_TMP") + QLatin1Char('/') + name;
}

unsigned modeOf(const QString& path) {
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

QString useCupsServer() {
    const QString dir = qEnvironmentVariable("ORV_CUPS");
    if (dir.isEmpty()) return QStringLiteral("ORV_CUPS is not set");
    QFile env(dir + QStringLiteral("/env"));
    if (!env.open(QIODevice::ReadOnly)) {
        QFile why(dir + QStringLiteral("/unavailable"));
        return why.open(QIODevice::ReadOnly) ? QString::fromUtf8(why.readAll()).trimmed()
                                             : QStringLiteral("no test CUPS server in ") + dir;
    }
    const QByteArray line = env.readAll().trimmed();
    qputenv("CUPS_SERVER", line.mid(line.indexOf('=') + 1));
    qputenv("ORVANELLE_SYSTEM_PRINTERS", "1");
    return QString();
}

QList<QJsonObject> readJsonLines(const QString& path) {
    QList<QJsonObject> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty()) lines.append(QJsonDocument::fromJson(line).object());
    return lines;
}

orv::DynArray record(std::initializer_list<QString> attributes) {
    orv::DynArray r;
    int a = 0;
    for (const QString& v : attributes) r.replace(++a, orv::fromQString(v));
    return r;
}

orv::DynArray sparseRecord(std::initializer_list<std::pair<int, QString>> attributes) {
    orv::DynArray r;
    for (const auto& [a, v] : attributes) r.replace(a, orv::fromQString(v));
    return r;
}

TempDatabase::TempDatabase(std::initializer_list<const char*> files) {
    // Created, then opened through the client's own cache, so that the test and the client
    // share one engine instance.
    orv::Database::openEmbedded(path().toStdString()).reset();
    engine = dba::openEngineDatabase(path());
    engine->setUserPassword("DUPONT", "secret");
    createFiles(files);
    client = std::make_unique<dba::Client>();
    client->setLocator([p = path()](const QString&) { return p; });
    client->ClientConnect(QStringLiteral("dupont"), QStringLiteral("secret"), QString());
    database = client->OpenDatabase(QStringLiteral("ORVANELLE"), QStringLiteral("ESSAI"));
}

TempDatabase::~TempDatabase() = default;

void TempDatabase::createFiles(std::initializer_list<const char*> files) {
    for (const char* file : files) engine->createFile(file);
}

void TempDatabase::write(const char* file, const QString& key,
                         std::initializer_list<QString> attributes) {
    write(file, key, record(attributes));
}

void TempDatabase::write(const char* file, const QString& key, const orv::DynArray& rec) {
    engine->write(file, key.toStdString(), rec);
}

void TempDatabase::dictionary(const char* file, const QString& item, int attribute,
                              const QString& conversion, const QString& format) {
    write((QStringLiteral("DICT ") + QLatin1String(file)).toUtf8().constData(), item,
          {QStringLiteral("D"), QString::number(attribute), conversion, item, format,
           QStringLiteral("S")});
}

Fixture::Fixture() : TempDatabase({"ASSOCIATION", "ACTIVITES"}) {
    // LibAssoActivites sorts the activities by their key.
    dictionary("ACTIVITES", QStringLiteral("LibAssoActivites"), 0);
}

void Fixture::entity(const QString& code, const QString& acronym) {
    write("ASSOCIATION", code, {acronym});
}

void Fixture::activity(const QString& key, const QString& mode) {
    write("ACTIVITES", key, sparseRecord({{12, mode}}));
}

QStringList Transcription::textes(int page) const {
    QStringList out;
    for (const Ligne& l : lignes)
        if (page == 0 || l.page == page) out << l.text;
    return out;
}

QList<Ligne> Transcription::commencantPar(const QString& debut) const {
    QList<Ligne> out;
    for (const Ligne& l : lignes)
        if (l.text.trimmed().startsWith(debut)) out << l;
    return out;
}

namespace {

// The printer writes nothing for an empty line: it only moves down. The empty lines are put
// back from the gaps between the lines of a page (and above the first), one line height each.
void ajouterLignesVides(Transcription& t) {
    double hauteur = 0;
    for (int i = 1; i < t.lignes.size(); ++i) {
        const double ecart = t.lignes[i].y - t.lignes[i - 1].y;
        if (t.lignes[i].page == t.lignes[i - 1].page && ecart > 0.5)
            hauteur = hauteur == 0 ? ecart : qMin(hauteur, ecart);
    }
    if (hauteur == 0) return;
    QList<Ligne> lignes;
    for (int i = 0; i < t.lignes.size(); ++i) {
        const Ligne& l = t.lignes[i];
        const bool debutPage = i == 0 || t.lignes[i - 1].page != l.page;
        const double depuis = debutPage ? -hauteur : t.lignes[i - 1].y;
        const int vides = qRound((l.y - depuis) / hauteur) - 1;
        for (int k = 0; k < vides; ++k) {
            Ligne vide;
            vide.page = l.page;
            vide.y = depuis + (k + 1) * hauteur;
            lignes << vide;
        }
        lignes << l;
    }
    t.lignes = lignes;
}

}  // namespace

Transcription lireTranscription(const QString& path) {
    Transcription t;
    Ligne courante;
    bool ouverte = false;
    for (const QJsonObject& op : readJsonLines(path)) {
        t.ops << op;
        const QString kind = op.value(QStringLiteral("op")).toString();
        if (kind == QStringLiteral("text")) {
            if (!ouverte) {
                courante = Ligne{op.value(QStringLiteral("page")).toInt(),
                                 op.value(QStringLiteral("y")).toDouble(),
                                 op.value(QStringLiteral("bold")).toBool(),
                                 op.value(QStringLiteral("font")).toString(),
                                 op.value(QStringLiteral("size")).toDouble(),
                                 QString()};
                ouverte = true;
            }
            courante.text += op.value(QStringLiteral("text")).toString();
            if (op.value(QStringLiteral("eol")).toBool()) {
                t.lignes << courante;
                ouverte = false;
            }
            t.pages = qMax(t.pages, courante.page);
        } else if (kind == QStringLiteral("end")) {
            t.terminee = true;
        } else if (kind == QStringLiteral("kill") || kind == QStringLiteral("cancel")) {
            t.annulee = true;
        }
    }
    ajouterLignesVides(t);
    return t;
}

}  // namespace orv::test
