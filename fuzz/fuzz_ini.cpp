// The INI file of database servers: any text gives a problem or a consistent list of bases.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "frame/ini_serveurs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orv::IniServeurs ini;
    ini.parse(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (ini.problem() == orv::IniServeurs::Problem::None) {
        if (ini.labels().size() != ini.paths().size() || ini.labels().isEmpty()) std::abort();
        for (const QString& label : ini.labels())
            if (ini.find(label) < 0) std::abort();
    }
    (void)ini.problemMessage();
    return 0;
}
