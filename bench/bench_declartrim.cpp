// The quarterly declaration statement of 10,000 declarations: the selection, then one copy
// printed to the transcript printer (the layout alone, the baseline) and to the PDF printer,
// with the time of each and the process's peak memory.
//
//   bench_declartrim [DECLARATIONS]      (default 10000)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "client/dba.h"
#include "controls/declartrim/ctr_relevednt.h"
#include "controls/declartrim/releve_dnt.h"
#include "engine/database.h"
#include "platform/printer.h"

namespace {

const char* const kNoms[] = {"MARTIN", "BERNARD", "DUBOIS",   "THOMAS", "ÉTIENNE", "LEFÈVRE",
                             "NOËL",   "ROBERT",  "FRANÇOIS", "GIRARD", "ZIMMER",  "CARON"};
const char* const kPrenoms[] = {"Jean", "Marie", "Hélène", "André", "Zoé", "Paul", "Odette"};

long crete() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;  // MB
}

orv::DynArray attributs(std::initializer_list<std::string> values) {
    orv::DynArray r;
    int a = 0;
    for (const auto& v : values) r.replace(++a, v);
    return r;
}

void remplir(orv::Database& db, int n) {
    for (const char* f :
         {"ASSOCIATION", "CENTREURSSAF", "CIVILAIDE", "ELTSPARTEMP", "DETAILCHGPARTEMP"})
        db.createFile(f);
    auto dict = [&](const char* item, const char* conversion, const char* attr) {
        db.write("DICT DETAILCHGPARTEMP", item,
                 attributs({"D", attr, conversion, item, "10L", "S"}));
    };
    dict("CodCtrUrssafDetailChgPartemp", "", "2");
    dict("NomAideDetailChgPartemp", "TCIVILAIDE;X;;2", "3");
    dict("PrenomAideDetailChgPartemp", "TCIVILAIDE;X;;3", "3");
    db.storage().begin();
    db.write("ASSOCIATION", "007",
             attributs({"ENTRAIDE 7", "", "66", "", "quai", "Saint-Vincent", "BP 3660", "69800",
                        "SAINT-PRIEST"}));
    db.write("CENTREURSSAF", "07",
             attributs({"URSSAF Rhône-Alpes", "", "6", "", "rue", "du Lac", "", "69003", "LYON", "",
                        "", "", "", "", "", "117"}));
    for (int i = 0; i < n; ++i) {
        const std::string code = std::to_string(50000 + i);
        db.write("CIVILAIDE", code,
                 attributs({"", kNoms[i % 12], std::string(kPrenoms[i % 7]) + std::to_string(i)}));
        db.write("ELTSPARTEMP", code, attributs({"007", "69" + std::to_string(1000000000 + i)}));
        orv::DynArray d = attributs({"007", "07", code, "20044", i % 10 ? "0" : "12"});
        for (int a = 6; a <= 13; ++a) d.replace(a, std::to_string(100 + (i * a) % 900));
        if (i % 7 == 0) d.replace(17, "25");
        db.write("DETAILCHGPARTEMP", code + "*007*07*20044", d);
    }
    db.storage().commit();
}

double imprimer(dba::Database& db, const dba::Record& selection, const dba::Record& entite,
                const dba::Record& centre, const orv::PrinterEntry& entree) {
    orv::Printer printer(entree);
    printer.setOrientation(orv::PrinterOrientation::Landscape);
    declartrim::ReleveDnt releve(db, printer);
    releve.setDonnees({selection, entite, centre, QStringLiteral("4ème TRIMESTRE 2004")});
    QElapsedTimer t;
    t.start();
    releve.GestionRequete();
    printer.endDoc();
    return t.nsecsElapsed() / 1e9;
}

// The number of declarations of the command line, or -1 when the line is not understood.
int declarations(int argc, char** argv) {
    if (argc == 1) return 10000;
    int n = 0;
    const std::string_view text = argv[1];
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    return argc == 2 && error == std::errc() && stop == text.data() + text.size() && n > 0 ? n : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* const usage = "Usage : bench_declartrim [DECLARATIONS]   (10000 par défaut)\n";
    if (argc == 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    const int n = declarations(argc, argv);
    if (n < 0) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    auto engine = orv::Database::openEmbedded(dir.filePath("bench.orvdb").toStdString());
    remplir(*engine, n);
    dba::Database db(std::make_shared<orv::Session>(engine, "BENCH"), QStringLiteral("bench"));
    const long avant = crete();

    QElapsedTimer t;
    t.start();
    const dba::Record selection =
        db.Query(declartrim::requeteDeclarations(QStringLiteral("4ème TRIMESTRE 2004"),
                                                 QStringLiteral("007"), QStringLiteral("07")),
                 QStringLiteral("DETAILCHGPARTEMP"), {0});
    const double tSelection = t.nsecsElapsed() / 1e9;
    const dba::Record entite = db.OpenFile(QStringLiteral("ASSOCIATION"))->Read("007");
    const dba::Record centre = db.OpenFile(QStringLiteral("CENTREURSSAF"))->Read("07");

    const QString transcript = dir.filePath("releve.jsonl");
    const QString pdf = dir.filePath("releve.pdf");
    const double tTranscript = imprimer(db, selection, entite, centre,
                                        {"Bench", orv::PrinterKind::Transcript, transcript, true});
    const long apresTranscript = crete();
    const double tPdf =
        imprimer(db, selection, entite, centre, {"Laser", orv::PrinterKind::Pdf, pdf, true});

    std::printf("déclarations sélectionnées : %d sur %d\n", selection.DCount(), n);
    std::printf("sélection                  : %.3f s\n", tSelection);
    std::printf("impression transcription   : %.3f s (référence ; objectif < 0,3 s)\n",
                tTranscript);
    std::printf("impression PDF             : %.3f s (x%.2f), %lld Ko\n", tPdf, tPdf / tTranscript,
                QFileInfo(pdf).size() / 1024);
    std::printf("sélection + PDF            : %.3f s (objectif < 1 s)\n", tSelection + tPdf);
    std::printf(
        "mémoire de pointe          : %ld Mo (après la base %ld Mo, après la "
        "transcription %ld Mo ; objectif < 100 Mo)\n",
        crete(), avant, apresTranscript);
    return 0;
}
