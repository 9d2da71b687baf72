// Reference lists of the demo database: names, streets, towns, labels.
#pragma once

#include <vector>

namespace orv::tools::demo {

struct Town {
    const char* name;
    const char* postcode;
    const char* sector;  // SECTEUR key of the town
};

struct Label {
    const char* code;
    const char* text;
};

extern const std::vector<const char*> kLastNames;
extern const std::vector<const char*> kFemaleFirstNames;
extern const std::vector<const char*> kMaleFirstNames;
extern const std::vector<const char*> kStreets;
extern const std::vector<const char*> kResidences;
extern const std::vector<const char*> kComplements;
extern const std::vector<Town> kTowns;
extern const std::vector<Label> kSectors;
extern const std::vector<Label> kResponsibles;
extern const std::vector<const char*> kFundingBodies;
// Absence motives 1 to 33, in order.
extern const std::vector<const char*> kAbsenceMotives;

}  // namespace orv::tools::demo
