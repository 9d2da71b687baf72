// A small database shared by the selection fuzz targets: a file T with a dictionary, a file of
// labels for translations, a few records with values and subvalues.
#pragma once

#include <unistd.h>

#include <memory>
#include <string>

#include "engine/database.h"

namespace orv::fuzz {

inline std::shared_ptr<Database> fuzzDatabase() {
    const std::string path = "/tmp/orv-fuzz-" + std::to_string(getpid()) + ".orvdb";
    for (const char* suffix : {"", "-wal", "-shm"}) unlink((path + suffix).c_str());
    auto db = Database::openEmbedded(path);
    db->createFile("T");
    db->createFile("LIBELLES");
    const std::string vm(1, kValueMark), sm(1, kSubvalueMark);
    auto put = [&](const std::string& file, const std::string& key, std::string text) {
        db->write(file, key, DynArray(std::move(text)));
    };
    auto item = [&](const std::string& name, const std::string& attribute,
                    const std::string& conversion, const std::string& format) {
        DynArray d;
        d.replace(1, "D");
        d.replace(2, attribute);
        d.replace(3, conversion);
        d.replace(5, format);
        db->write("DICT T", name, d);
    };
    item("Nom", "1", "", "20L");
    item("Rang", "2", "", "5R");
    item("Libelle", "3", "TLIBELLES;X;;1", "20L");
    item("Debut", "1", "T1,3", "3L");
    put("LIBELLES", "A", "Aide");
    put("LIBELLES", "B", "Bénévole");
    put("T", "007",
        "MARTIN\xFE"
        "10\xFE"
        "A" +
            vm + "B");
    put("T", "012",
        "Élodie\xFE-1.5\xFE"
        "B" +
            sm + "Z");
    put("T", "ABC", "\xFE\xFE");
    put("T", "", "");
    return db;
}

}  // namespace orv::fuzz
