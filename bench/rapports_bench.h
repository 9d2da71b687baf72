// What bench_emploi and bench_absences share: a demo database copied into a temporary folder,
// child processes per size (the program itself with --enfant), and the table of the sizes: the
// time, its ratio to the size before (and that ratio brought to one doubling), the peak memory of
// the child that printed that size alone, and the processor time of its measured work. Each
// size runs several times, the run of least processor time kept: a shared machine slows one run
// or another by as much as a doubling of the work, in wall time only.
#pragma once

#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "client/dba.h"
#include "engine/database.h"
#include "platform/printer.h"

namespace bench {

inline const QString kUtilisateur = QStringLiteral("BENCH");

inline long creteMo() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

inline double secondes(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

// Processor time of this process so far (user and system), in seconds: unlike the wall clock, it
// does not count the time a shared machine gives to others.
inline double processeur() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto s = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

inline std::unique_ptr<dba::Database> ouvrir(const QString& chemin) {
    return std::make_unique<dba::Database>(
        std::make_shared<orv::Session>(dba::openEngineDatabase(chemin), kUtilisateur.toStdString()),
        QStringLiteral("bench"));
}

// The PDF printer of a child, its file beside the copied demo.
inline orv::PrinterEntry pdf(const QString& base, const QString& nom) {
    return {QStringLiteral("Laser"), orv::PrinterKind::Pdf, QFileInfo(base).dir().filePath(nom)};
}

// The demo copied (the timetable routine writes into TEMPO: the demo itself is never written),
// with the middle day of its visits, around which both reports take their period.
struct Demo {
    QString copie;
    long milieu = 0;
};

inline Demo copier(const QString& demo, const QTemporaryDir& dir) {
    Demo d{dir.filePath(QStringLiteral("demo.orvdb"))};
    if (!QFile::copy(demo, d.copie))
        throw std::runtime_error("copie impossible de " + demo.toStdString());
    const auto db = ouvrir(d.copie);
    long premier = -1, dernier = -1;
    // Visit keys are helper * day * start.
    for (const std::string& cle : db->session().database().select("SSELECT PLANNING")) {
        const long jour = QString::fromStdString(cle).section(QLatin1Char('*'), 1, 1).toLong();
        premier = premier < 0 ? jour : std::min(premier, jour);
        dernier = std::max(dernier, jour);
    }
    d.milieu = (premier + dernier) / 2;
    return d;
}

// One size: what the child printed, "temps1 temps2 lignes crete processeur".
struct Mesure {
    int personnes = 0;
    double t1 = 0, t2 = 0;
    int lignes = 0;
    long crete = 0;
    double cpu = 0;
    double total() const { return t1 + t2; }
};

// cpu0: processeur() when the measured work began.
inline void reponseEnfant(double t1, double t2, int lignes, double cpu0) {
    std::printf("%.3f %.3f %d %ld %.3f\n", t1, t2, lignes, creteMo(), processeur() - cpu0);
}

inline Mesure enfant(const QStringList& arguments, int personnes) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(),
            QStringList{QStringLiteral("--enfant")} + arguments);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        throw std::runtime_error("la mesure de " + std::to_string(personnes) + " a échoué");
    const QStringList v = QString::fromUtf8(p.readAllStandardOutput()).simplified().split(' ');
    if (v.size() != 5) throw std::runtime_error("réponse illisible de la mesure");
    return {personnes,    v[0].toDouble(), v[1].toDouble(),
            v[2].toInt(), v[3].toLong(),   v[4].toDouble()};
}

// The sizes asked for (by default 100 to 5,000, doubling), cut at what the demo has; "tous"
// stands for every person.
inline QList<int> tailles(const QStringList& demandees, int disponibles) {
    QList<int> liste;
    for (const QString& t : demandees) liste << (t == QLatin1String("tous") ? -1 : t.toInt());
    if (liste.isEmpty()) liste = {100, 200, 400, 800, 1600, 3200, 5000};
    QList<int> retenues;
    for (int n : liste) {
        const int m = n < 0 ? disponibles : std::min(n, disponibles);
        if (m > 0 && (retenues.isEmpty() || m > retenues.last())) retenues << m;
    }
    return retenues;
}

// The ratio of two times brought to one doubling of persons.
inline double parDoublement(double temps, double avant, int personnes, int personnesAvant) {
    return std::pow(temps / avant, std::log(2.0) / std::log(double(personnes) / personnesAvant));
}

inline void ligne(const Mesure& m, const Mesure* avant) {
    std::printf("%9d %8d %8.3fs %10.3fs %8.3fs", m.personnes, m.lignes, m.t1, m.t2, m.total());
    if (avant)
        std::printf("   x%5.2f",
                    parDoublement(m.total(), avant->total(), m.personnes, avant->personnes));
    else
        std::printf("   %6s", "-");
    std::printf(" %9.3fs", m.cpu);
    if (avant)
        std::printf("   x%5.2f", parDoublement(m.cpu, avant->cpu, m.personnes, avant->personnes));
    else
        std::printf("   %6s", "-");
    std::printf(" %6ld Mo\n", m.crete);
}

// Runs one child a size and prints the table; `arguments` gives a size's child arguments.
inline void mesurer(const QList<int>& liste, const std::function<QStringList(int)>& arguments,
                    const char* t1, const char* t2) {
    std::printf("%9s %8s %9s %11s %9s %9s %10s %9s %8s\n", "aidants", "lignes", t1, t2, "total",
                "/doublem.", "processeur", "/doublem.", "mémoire");
    constexpr int kEssais = 3;
    std::optional<Mesure> avant;
    for (int n : liste) {
        Mesure m = enfant(arguments(n), n);
        for (int essai = 1; essai < kEssais; ++essai) {
            const Mesure autre = enfant(arguments(n), n);
            if (autre.cpu < m.cpu) m = autre;
        }
        ligne(m, avant ? &*avant : nullptr);
        std::fflush(stdout);
        avant = m;
    }
}

// The program's main: `parent(demo, sizes)` for "PROGRAM DEMO [SIZES...]", `child(arguments)`
// for "PROGRAM --enfant ARGUMENTS..." (`arguments` of them).
inline int principal(int argc, char** argv, const char* usage,
                     const std::function<int(const QString&, const QStringList&)>& parent,
                     const std::function<int(const QStringList&)>& child, qsizetype arguments) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("--enfant") && args.size() == arguments + 1)
            return child(args.mid(1));
        if (!args.isEmpty() && args[0] != QLatin1String("--enfant") && QFileInfo::exists(args[0]))
            return parent(args[0], args.mid(1));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fputs(usage, stderr);
    return 2;
}

}  // namespace bench
