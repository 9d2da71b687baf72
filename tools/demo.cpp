#include "tools/demo.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>

#include "client/clock.h"
#include "client/outils_communs.h"
#include "engine/database.h"
#include "tools/demo_names.h"

namespace orv::tools {

using namespace demo;

namespace {

constexpr uint32_t kSeed = 20060314;
constexpr long kBatchSize = 20000;
constexpr int kHelpersPerScale = 200;
constexpr int kClientsPerScale = 350;
constexpr int kArchivedMonths = 24;
constexpr int kDeclaredQuarters = 8;
constexpr int kReportDays = 60;

// Whole numbers from the generator's raw output: the standard fixes the mt19937 sequence but not
// what its distributions make of it, so the demo maps to ranges itself.
class DemoRandom {
  public:
    explicit DemoRandom(uint32_t seed) : gen_(seed) {}
    int between(int lo, int hi) {
        return lo + static_cast<int>(gen_() % static_cast<uint32_t>(hi - lo + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <typename T>
    const T& pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(between(0, static_cast<int>(items.size()) - 1))];
    }

  private:
    std::mt19937 gen_;
};

// Writes records in transactions of kBatchSize; a failure rolls the open batch back.
class BatchWriter {
  public:
    explicit BatchWriter(Database& db) : db_(db) {}
    ~BatchWriter() {
        if (pending_ > 0) db_.storage().rollback();
    }
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    void write(const std::string& file, const std::string& key, const DynArray& record) {
        if (pending_ == 0) db_.storage().begin();
        db_.write(file, key, record);
        ++written_;
        if (++pending_ >= kBatchSize) flush();
    }
    void flush() {
        if (pending_ == 0) return;
        db_.storage().commit();
        pending_ = 0;
    }
    long written() const { return written_; }

  private:
    Database& db_;
    long pending_ = 0;
    long written_ = 0;
};

// A record built attribute by attribute.
class Rec {
  public:
    Rec& set(int a, const std::string& value) {
        rec_.replace(a, value);
        return *this;
    }
    Rec& set(int a, long number) { return set(a, std::to_string(number)); }
    Rec& set(int a, int v, const std::string& value) {
        rec_.replace(a, v, 0, value);
        return *this;
    }
    const DynArray& record() const { return rec_; }

  private:
    DynArray rec_;
};

std::string padded(long number, int width) {
    std::string text = std::to_string(number);
    return text.size() >= static_cast<size_t>(width)
               ? text
               : std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}

long dayOf(const QDate& date) {
    return OutilsCommuns::dayNumber(date.year(), date.month(), date.day());
}

std::string payPeriod(const QDate& date) {
    return padded(date.year(), 4) + padded(date.month(), 2);
}

std::string text(const QString& s) { return s.toStdString(); }

struct Activity {
    std::string key;
    std::string label;
    std::string mode;
};

struct Entity {
    std::string code;
    std::string acronym;
    std::string name;
    std::vector<Activity> activities;
};

const std::vector<Entity>& entities() {
    static const std::vector<Entity> list = {{"001",
                                              "ORVADOM LYON",
                                              "Association Orvadom Lyon et Métropole",
                                              {{"001001", "Aide ménagère prestataire", "P"},
                                               {"001002", "Garde à domicile mandataire", "M"},
                                               {"001003", "Auxiliaire de vie intermédiaire", "I"},
                                               {"001004", "Soins infirmiers à domicile", "S"}}},
                                             {"007",
                                              "ENTRAIDE 7",
                                              "Entraide Emploi Familial",
                                              {{"007001", "Emploi direct mandataire", "M"},
                                               {"007002", "Garde d'enfants mandataire", "M"}}},
                                             {"012",
                                              "PRÉSENCE 12",
                                              "Présence à Domicile Rhône Sud",
                                              {{"012001", "Aide à domicile prestataire", "P"},
                                               {"012002", "Portage de repas prestataire", "P"},
                                               {"012003", "Aide aux familles intermédiaire", "I"},
                                               {"012004", "Garde de nuit mandataire", "M"}}}};
    return list;
}

struct Person {
    std::string code;
    std::string civility;
    std::string lastName;
    std::string firstName;
    const Town* town = nullptr;
    std::string street;
};

struct Client : Person {
    const Entity* entity = nullptr;
    const Activity* activity = nullptr;
    std::string responsible;
    std::string centre;  // URSSAF centre of an employer (mandataire client)
};

struct Contract {
    std::string key;
    long start = 0;
    long end = 0;  // 0: running
};

struct Helper : Person {
    std::vector<Contract> contracts;
};

class DemoBuilder {
  public:
    DemoBuilder(Database& db, int scale)
        : out_(db), random_(kSeed), scale_(scale), today_(orv::today()) {}

    long build() {
        writeParameters();
        writeReferenceTables();
        writeEntities();
        writeClients();
        writeHelpers();
        writeDeclarations();
        writeArchivedInvoices();
        writeImportReports();
        writeLeaveRequests();
        out_.flush();
        return out_.written();
    }

  private:
    // ---- parameters and reference tables

    void writeParameters() {
        out_.write(
            "COMPTEUR", "999",
            Rec().set(1, "COMPTEUR GÉNÉRAL").set(17, "FÉDÉRATION DU RHÔNE").set(33, "1").record());
        out_.write("TLGPARAM", "HEURELIMITEVERIF",
                   Rec()
                       .set(1, "Heure limite de vérification des plannings")
                       .set(2, "09:00")
                       .set(3, "O")
                       .record());
        // Chart colours as RGB values (red + 256 green + 65536 blue): 7 work stoppages,
        // 6 leave, 23 other absences.
        out_.write("TPSPARAM", "1",
                   Rec()
                       .set(1, "PARAMÈTRES DES TEMPS")
                       .set(6, 5287936L)
                       .set(7, 255L)
                       .set(23, 49407L)
                       .record());
        const QDate first(today_.year(), today_.month(), 1);
        out_.write("PERIODESPAIE", "1",
                   Rec()
                       .set(1, payPeriod(today_))
                       .set(2, dayOf(first))
                       .set(3, dayOf(first.addMonths(1).addDays(-1)))
                       .record());
        writeAgreement("01", "Convention collective de la branche de l'aide à domicile", "0", "0",
                       "0");
        writeAgreement("02", "Convention collective des salariés du particulier employeur", "1",
                       "1", "0");
        writeAgreement("03", "Accord d'entreprise, année civile", "0", "0", "1");
    }

    // Attribute 2: paid leave in working days; 13: seniority leave acquired at the period start;
    // 28: reference period = calendar year.
    void writeAgreement(const char* key, const char* name, const char* workingDays,
                        const char* seniorityAtStart, const char* calendarYear) {
        out_.write("CONVENTIONCOL", key,
                   Rec()
                       .set(1, name)
                       .set(2, workingDays)
                       .set(13, seniorityAtStart)
                       .set(28, calendarYear)
                       .record());
    }

    void writeReferenceTables() {
        for (const Label& s : kSectors)
            out_.write("SECTEUR", s.code, Rec().set(1, s.text).record());
        for (const Label& r : kResponsibles)
            out_.write("RESPONSABLE", r.code,
                       Rec()
                           .set(1, r.text)
                           .set(2, "04 78 60 00 " + std::string(r.code).substr(1))
                           .record());
        for (const Town& t : kTowns)
            out_.write("COMMUNES", t.postcode, Rec().set(1, t.name).set(2, t.sector).record());
        Rec motives;
        for (size_t i = 0; i < kAbsenceMotives.size(); ++i)
            motives.set(static_cast<int>(i + 1), kAbsenceMotives[i]);
        out_.write("TABLES", "MOTIFSABSENCE", motives.record());
        writeCentre("07", "URSSAF Rhône-Alpes, centre de Lyon", "6", "rue du Lac", "69003", "LYON",
                    "000");
        writeCentre("17", "URSSAF Poitou-Charentes, centre de La Rochelle", "3",
                    "avenue de Fétilly", "17000", "LA ROCHELLE", "117");
        writeCentre("42", "URSSAF Loire, centre de Saint-Étienne", "2", "place de l'Hôtel de Ville",
                    "42000", "SAINT-ÉTIENNE", "000");
    }

    void writeCentre(const char* code, const char* name, const char* number, const char* street,
                     const char* postcode, const char* town, const char* prefix) {
        out_.write("CENTREURSSAF", code,
                   addressAttributes(Rec().set(1, name), number, street, "", postcode, town)
                       .set(16, prefix)
                       .record());
    }

    // Entity and centre address: 3 number, 4 repetition, 5-6 street, 7 complement, 8 postcode,
    // 9 town.
    static Rec& addressAttributes(Rec& rec, const std::string& number, const std::string& street,
                                  const std::string& complement, const std::string& postcode,
                                  const std::string& town) {
        const size_t blank = street.find(' ');
        return rec.set(3, number)
            .set(5, street.substr(0, blank))
            .set(6, blank == std::string::npos ? "" : street.substr(blank + 1))
            .set(7, complement)
            .set(8, postcode)
            .set(9, town);
    }

    void writeEntities() {
        const std::map<std::string, std::string> suffix = {{"001", "42"}};
        const std::map<std::string, std::string> preprinted = {{"001", "1"}, {"012", "0"}};
        for (const Entity& e : entities()) {
            const Town& town = kTowns[static_cast<size_t>(random_.between(0, 13))];
            Rec rec;
            rec.set(1, e.acronym).set(2, e.name);
            addressAttributes(rec, std::to_string(random_.between(1, 120)), random_.pick(kStreets),
                              "BP " + std::to_string(random_.between(100, 9999)), town.postcode,
                              town.name);
            rec.set(10, telephone("04")).set(39, suffix.count(e.code) ? suffix.at(e.code) : "");
            rec.set(50, preprinted.count(e.code) ? preprinted.at(e.code) : "");
            out_.write("ASSOCIATION", e.code, rec.record());
            for (const Activity& a : e.activities)
                out_.write("ACTIVITES", a.key,
                           Rec().set(1, a.label).set(2, e.code).set(12, a.mode).record());
        }
    }

    // ---- people

    std::string telephone(const char* prefix) {
        std::string t = prefix;
        for (int i = 0; i < 4; ++i) t += " " + padded(random_.between(0, 99), 2);
        return t;
    }

    Person newPerson(const std::string& code) {
        Person p;
        p.code = code;
        const bool woman = random_.chance(70);
        p.civility = woman ? "Mme" : "M.";
        p.lastName = random_.pick(kLastNames);
        p.firstName = woman ? random_.pick(kFemaleFirstNames) : random_.pick(kMaleFirstNames);
        p.town =
            &kTowns[static_cast<size_t>(random_.between(0, static_cast<int>(kTowns.size()) - 1))];
        p.street = random_.pick(kStreets);
        return p;
    }

    // Person address: 5 residence, 6 number, 7 repetition, 8 street, 9 complement, 10 postcode,
    // 11 town.
    Rec personRecord(const Person& p) {
        Rec rec;
        rec.set(1, p.civility).set(2, p.lastName).set(3, p.firstName);
        rec.set(5, random_.chance(15) ? random_.pick(kResidences) : "");
        rec.set(6, std::to_string(random_.between(1, 150)));
        rec.set(7, random_.chance(5) ? "bis" : "");
        rec.set(8, random_.chance(3) ? "" : p.street);
        rec.set(9, random_.chance(25) ? random_.pick(kComplements) : "");
        rec.set(10, p.town->postcode).set(11, p.town->name);
        return rec;
    }

    const Activity& billedActivity(const Entity& e) {
        for (;;) {
            const Activity& a = random_.pick(e.activities);
            if (a.mode != "S") return a;
        }
    }

    void writeClients() {
        const int count = kClientsPerScale * scale_;
        const std::array<const char*, 3> centres = {"07", "17", "42"};
        for (int i = 0; i < count; ++i) {
            Client c;
            static_cast<Person&>(c) = newPerson(padded(50001 + i, 5));
            c.entity = &entities()[static_cast<size_t>(random_.between(0, 2))];
            c.activity = &billedActivity(*c.entity);
            c.responsible = random_.pick(kResponsibles).code;
            c.centre = centres[static_cast<size_t>(random_.between(0, 9) / 4)];
            Rec rec = personRecord(c);
            rec.set(12, dayOf(QDate(random_.between(1920, 1950), random_.between(1, 12),
                                    random_.between(1, 28))));
            rec.set(14, telephone("04"));
            rec.set(16, random_.chance(50) ? telephone("06") : "");
            rec.set(20, c.entity->code).set(21, c.activity->key).set(22, c.responsible);
            rec.set(23, c.town->sector);
            out_.write("CIVILAIDE", c.code, rec.record());
            clients_.push_back(std::move(c));
        }
    }

    void writeHelpers() {
        const int count = kHelpersPerScale * scale_;
        for (int i = 0; i < count; ++i) {
            Helper h;
            static_cast<Person&>(h) = newPerson(padded(101 + i, 5));
            Rec rec = personRecord(h);
            rec.set(12, telephone("06")).set(14, random_.chance(40) ? telephone("04") : "");
            rec.set(20, entities()[static_cast<size_t>(random_.between(0, 2))].code);
            rec.set(31, h.town->sector).set(45, static_cast<long>(random_.between(0, 4)));
            out_.write("CIVILAIDANT", h.code, rec.record());
            writeContracts(h);
            writeAbsences(h, i);
            if (i == 0) writePlannedLeave(h);
            writePlanning(h);
        }
    }

    // The first helper's leave already requested in the next reference period (from 1 June
    // after today): two weeks of paid leave from the first Monday of July, and three days of
    // leave carried over after a stoppage in October, so that the leave tally shows both periods.
    void writePlannedLeave(const Helper& h) {
        const int year = today_.month() <= 5 ? today_.year() : today_.year() + 1;
        QDate july(year, 7, 1);
        while (july.dayOfWeek() != Qt::Monday) july = july.addDays(1);
        const struct {
            int motive;
            QDate start;
            int days;
        } leaves[] = {{14, july, 14}, {31, QDate(year, 10, 9), 3}};
        for (const auto& leave : leaves) {
            const long start = dayOf(leave.start);
            const long end = start + leave.days - 1;
            Rec rec;
            rec.set(1, dayOf(today_))
                .set(2, end)
                .set(3, kAbsenceMotives[static_cast<size_t>(leave.motive - 1)])
                .set(4, "EnC");
            addContractShares(rec, h, start, end);
            out_.write("ABSENCESAIDANT", h.code + padded(leave.motive, 2) + padded(start, 5),
                       rec.record());
        }
    }

    // Three months of weekly visits around today for most helpers: two or three clients each,
    // one or two weekday slots per client.
    void writePlanning(const Helper& h) {
        static const std::vector<std::string> tasks = {
            "Ménage",          "Repassage",          "Courses",         "Préparation repas",
            "Aide au lever",   "Aide à la toilette", "Aide au coucher", "Accompagnement sortie",
            "Entretien linge", "Aide administrative"};
        static const std::vector<std::pair<std::string, std::string>> timeSlots = {
            {"0800", "1000"}, {"0900", "1130"}, {"1030", "1200"},
            {"1400", "1600"}, {"1530", "1700"}, {"1700", "1830"}};
        if (!random_.chance(80) || clients_.empty()) return;
        const long first = dayOf(today_.addDays(-45));
        const long last = dayOf(today_.addDays(45));
        const int clientCount = random_.between(2, 3);
        for (int c = 0; c < clientCount; ++c) {
            const Client& client = random_.pick(clients_);
            const int weekday = random_.between(0, 4);
            const auto& slot = random_.pick(timeSlots);
            const bool key = random_.chance(30);
            std::vector<std::string> visitTasks{random_.pick(tasks)};
            if (random_.chance(60)) visitTasks.push_back(random_.pick(tasks));
            if (random_.chance(30)) visitTasks.push_back(random_.pick(tasks));
            // Day 1 (1 January 1968) was a Monday.
            for (long day = first + ((weekday - (first - 1) % 7) + 7) % 7; day <= last; day += 7) {
                Rec rec;
                rec.set(1, day).set(2, slot.first).set(3, slot.second);
                rec.set(4, h.code).set(5, client.code).set(6, client.activity->key);
                for (size_t k = 0; k < visitTasks.size(); ++k)
                    rec.set(7, static_cast<int>(k + 1), visitTasks[k]);
                rec.set(8, key ? "1" : "").set(9, random_.chance(5) ? "1" : "");
                out_.write("PLANNING", h.code + "*" + std::to_string(day) + "*" + slot.first,
                           rec.record());
            }
        }
    }

    void writeContracts(Helper& h) {
        const int count = random_.chance(25) ? 2 : 1;
        for (int n = 1; n <= count; ++n) {
            Contract c;
            c.key = h.code + "*" + padded(n, 2);
            c.start = dayOf(today_.addDays(-random_.between(400, 4000)));
            c.end = random_.chance(10) ? dayOf(today_.addDays(random_.between(-60, 120))) : 0;
            writeContract(h, c);
            h.contracts.push_back(c);
        }
    }

    void writeContract(const Helper& h, const Contract& c) {
        const Client& employer = clients_[static_cast<size_t>(
            random_.between(0, static_cast<int>(clients_.size()) - 1))];
        Rec rec;
        rec.set(1, padded(random_.between(1, 3), 2)).set(2, h.code);
        rec.set(3, employer.activity->mode == "M" ? employer.code : employer.entity->code);
        rec.set(4, employer.entity->code).set(5, employer.activity->mode);
        rec.set(7, c.start).set(8, c.end ? std::to_string(c.end) : "");
        // Leave in hundredths of a day.
        rec.set(38, static_cast<long>(random_.between(0, 500))).set(40, 0L);
        rec.set(39, static_cast<long>(random_.between(0, 800))).set(41, 0L);
        rec.set(44, static_cast<long>(random_.between(500, 2500)));
        rec.set(83, static_cast<long>(random_.between(0, 400)));
        rec.set(47, static_cast<long>(random_.between(0, 4) * 100));
        rec.set(48, static_cast<long>(random_.between(0, 2) * 100));
        rec.set(63, random_.chance(5) ? "" : payPeriod(today_.addMonths(-1)));
        rec.set(97, random_.chance(50) ? std::to_string(c.start - random_.between(0, 900)) : "");
        rec.set(109, static_cast<long>(random_.between(0, 3) * 100));
        rec.set(110, static_cast<long>(random_.between(0, 2) * 100));
        rec.set(144, random_.chance(20) ? std::to_string(random_.between(1, 60) * 100) : "0");
        const int months = random_.between(1, 12);
        for (int m = 1; m <= months; ++m) {
            rec.set(160, m, std::to_string(random_.between(200, 250)));
            rec.set(162, m, std::to_string(random_.between(0, 250)));
        }
        out_.write("CONTRAT", c.key, rec.record());
    }

    // About ten absences a helper over two years and the coming two months. The first 33 helpers
    // begin with motives 1 to 33, so that every motive occurs.
    void writeAbsences(const Helper& h, int index) {
        std::set<std::string> keys;
        const int count = random_.between(5, 15);
        for (int n = 0; n < count; ++n) {
            const int motive = (n == 0 && index < 33) ? index + 1 : absenceMotive();
            const long start = dayOf(today_.addDays(random_.between(-730, 60)));
            const long end = start + absenceLength(motive) - 1;
            const std::string key = h.code + padded(motive, 2) + padded(start, 5);
            if (!keys.insert(key).second) continue;
            Rec rec;
            rec.set(1, dayOf(today_.addDays(-random_.between(0, 30))))
                .set(2, end)
                .set(3, kAbsenceMotives[static_cast<size_t>(motive - 1)]);
            if (start > dayOf(today_))
                rec.set(4, random_.pick(std::vector<std::string>{"Acc", "Ref", "EnC"}));
            addContractShares(rec, h, start, end);
            out_.write("ABSENCESAIDANT", key, rec.record());
        }
    }

    // Leave requests for the forecast leave report: about one helper in three asks for one or
    // two leaves in the coming six months. Drawn apart from the other data (a generator of their
    // own), so that the rest of the demonstration stays what it was.
    void writeLeaveRequests() {
        DemoRandom draw(kSeed + 1);
        const int count = kHelpersPerScale * scale_;
        for (int i = 0; i < count; ++i) {
            if (!draw.chance(33)) continue;
            const std::string code = padded(101 + i, 5);
            const int children = draw.between(0, 3);
            const int requests = draw.between(1, 2);
            for (int n = 0; n < requests; ++n) {
                const int motive = draw.chance(80) ? 14 : draw.between(15, 16);
                const long start = dayOf(today_.addDays(draw.between(7, 180)));
                const int days = draw.between(2, 21);
                Rec rec;
                rec.set(1, dayOf(today_.addDays(-draw.between(0, 20))))
                    .set(2, start + days - 1)
                    .set(3, kAbsenceMotives[static_cast<size_t>(motive - 1)])
                    .set(4, draw.pick(std::vector<std::string>{"Acc", "Ref", "EnC", "EnC"}))
                    .set(5, static_cast<long>(days * 100))
                    .set(6, static_cast<long>(children));
                out_.write("DEMANDESCONGES", code + padded(motive, 2) + padded(start, 5),
                           rec.record());
            }
        }
    }

    int absenceMotive() {
        const int draw = random_.between(1, 100);
        if (draw <= 40) return 14;
        if (draw <= 45) return 15;
        if (draw <= 50) return 16;
        if (draw <= 55) return 25;
        if (draw <= 60) return 31;
        if (draw <= 72) return 1;
        return random_.between(1, 33);
    }

    int absenceLength(int motive) {
        switch (motive) {
            case 14:
            case 15:
            case 16:
            case 31:
                return random_.between(1, 15);
            case 1:
            case 2:
            case 3:
            case 6:
            case 33:
                return random_.between(1, 30);
            case 4:
                return random_.between(60, 112);
            default:
                return random_.between(1, 5);
        }
    }

    // Attributes 21, 22, 24, 26: one value per contract running during the absence.
    static void addContractShares(Rec& rec, const Helper& h, long start, long end) {
        int v = 0;
        for (const Contract& c : h.contracts) {
            if (c.start > end || (c.end && c.end < start)) continue;
            ++v;
            rec.set(21, v, "O")
                .set(22, v, std::to_string(std::max(start, c.start)))
                .set(24, v, std::to_string(c.end ? std::min(end, c.end) : end))
                .set(26, v, c.key);
        }
    }

    // ---- quarterly declarations of the employers (mandataire clients), in whole euros

    void writeDeclarations() {
        static const std::array<int, 8> perMille = {130, 80, 75, 5, 6, 40, 24, 9};
        const int currentQuarter = (today_.month() - 1) / 3;
        for (const Client& c : clients_) {
            if (c.activity->mode != "M") continue;
            out_.write("ELTSPARTEMP", c.code,
                       Rec()
                           .set(1, c.entity->code)
                           .set(2, padded(random_.between(69, 69), 2) +
                                       padded(random_.between(0, 99999), 5) +
                                       padded(random_.between(0, 99999), 5))
                           .record());
            for (int back = 1; back <= kDeclaredQuarters; ++back) {
                const int q = today_.year() * 4 + currentQuarter - back;
                if (random_.chance(10)) continue;
                const std::string period = std::to_string(q / 4) + std::to_string(q % 4 + 1);
                const std::string key =
                    c.code + "*" + c.entity->code + "*" + c.centre + "*" + period;
                const long wages = random_.between(800, 3200);
                Rec rec;
                rec.set(1, c.entity->code).set(2, c.centre).set(3, c.code).set(4, period);
                rec.set(5, random_.chance(10) ? static_cast<long>(random_.between(1, 50)) : 0L);
                for (size_t i = 0; i < perMille.size(); ++i)
                    rec.set(static_cast<int>(6 + i), wages * perMille[i] / 1000);
                rec.set(14, wages);
                if (random_.chance(10)) rec.set(17, static_cast<long>(random_.between(10, 60)));
                out_.write("DETAILCHGPARTEMP", key, rec.record());
            }
        }
    }

    // ---- archived invoices, and the invoice counters of entities 001 and 012

    void writeArchivedInvoices() {
        for (int back = kArchivedMonths; back >= 1; --back) {
            const QDate month = QDate(today_.year(), today_.month(), 1).addMonths(-back);
            for (const Client& c : clients_) {
                writeInvoice(c, month, false);
                if (random_.chance(20)) writeInvoice(c, month, true);
            }
        }
        writeInvoiceCounters("001");
        writeInvoiceCounters("012");
    }

    void writeInvoice(const Client& c, const QDate& month, bool fundingBody) {
        const std::string payer = fundingBody ? "O" : "A";
        long& number = lastInvoice_[c.entity->code + c.activity->mode + payer];
        ++number;
        const std::string key = c.entity->code + c.activity->mode + payer + padded(number, 10);
        Rec rec;
        rec.set(1, c.entity->code).set(2, payPeriod(month)).set(3, c.activity->mode);
        rec.set(4, c.activity->key).set(5, c.responsible).set(6, c.town->sector);
        rec.set(7, c.code).set(8, c.lastName).set(9, c.firstName).set(10, padded(number, 10));
        if (fundingBody) {
            const Town& town = kTowns[0];
            rec.set(11, random_.pick(kFundingBodies)).set(12, random_.pick(kStreets));
            rec.set(13, town.postcode).set(14, town.name);
        } else {
            rec.set(11, c.civility + " " + c.lastName + " " + c.firstName).set(12, c.street);
            rec.set(13, c.town->postcode).set(14, c.town->name);
        }
        rec.set(15, c.town->name).set(16, dayOf(month.addMonths(1).addDays(4)));
        rec.set(17, static_cast<long>(random_.between(2500, 150000))).set(18, payer);
        out_.write("ARCHIVEFACT", key, rec.record());
    }

    std::string counter(const std::string& entity, const char* mode, const char* payer) {
        auto it = lastInvoice_.find(entity + mode + payer);
        return padded(it == lastInvoice_.end() ? 0 : it->second, 10);
    }

    // Attributes 1-6 invoice counters, 7-8 billing floors (cents), 9 SSIAD statement, 10
    // federation statement, 11-13 helpers' names on invoices, 14-16 printing floors (cents),
    // 17-19 negative invoices printed.
    void writeInvoiceCounters(const std::string& entity) {
        Rec rec;
        int a = 1;
        for (const char* mode : {"P", "M", "I"})
            for (const char* payer : {"A", "O"}) rec.set(a++, counter(entity, mode, payer));
        rec.set(7, entity == "001" ? "1500" : "").set(8, "800");
        rec.set(9, padded(random_.between(1, 40), 10)).set(10, padded(random_.between(1, 20), 10));
        rec.set(11, "1").set(12, "0").set(13, "");
        rec.set(14, "500").set(15, "").set(16, entity == "001" ? "1000" : "");
        rec.set(17, "1").set(18, "").set(19, "");
        out_.write("NUMEROFACT", entity, rec.record());
    }

    // ---- telegestion import reports of the last weeks, one a working day

    void writeImportReports() {
        for (int back = kReportDays; back >= 1; --back) {
            const QDate day = today_.addDays(-back);
            if (day.dayOfWeek() == 7) continue;
            const std::string key = text(day.toString("yyyy-MM-dd")) + "_import.txt";
            const int read = random_.between(40, 400);
            const int rejected = random_.chance(30) ? random_.between(1, 4) : 0;
            Rec rec;
            int line = 1;
            rec.set(line++, "Import des pointages du " + text(day.toString("dd/MM/yyyy")));
            rec.set(line++, "Fichier : POINT_" + text(day.toString("yyyyMMdd")) + ".DAT");
            rec.set(line++, "Pointages lus : " + std::to_string(read));
            rec.set(line++, "Pointages intégrés : " + std::to_string(read - rejected));
            for (int r = 0; r < rejected; ++r)
                rec.set(line++, "Anomalie : aidant " +
                                    padded(101 + random_.between(0, kHelpersPerScale - 1), 5) +
                                    ", badge non reconnu à " + padded(random_.between(7, 19), 2) +
                                    "h" + padded(random_.between(0, 59), 2));
            rec.set(line, "Fin de l'import à 06:" + padded(random_.between(2, 40), 2));
            out_.write("VESPERONRAPPORTS", key, rec.record());
        }
    }

    BatchWriter out_;
    DemoRandom random_;
    int scale_;
    QDate today_;
    std::vector<Client> clients_;
    std::map<std::string, long> lastInvoice_;
};

DemoRightsHook& rightsHookSlot() {
    static DemoRightsHook hook;
    return hook;
}

}  // namespace

const std::vector<DemoUser>& demoUsers() {
    static const std::vector<DemoUser> users = {
        {"ADMINISTRATEUR", "admin", DemoProfile::Administrator},
        {"DIRECTION", "direction", DemoProfile::FullRights},
        {"ACCUEIL", "accueil", DemoProfile::PartialRights},
        {"STAGIAIRE", "stagiaire", DemoProfile::NoRights}};
    return users;
}

bool setDemoRightsHook(DemoRightsHook hook) {
    rightsHookSlot() = std::move(hook);
    return true;
}

const DemoRightsHook& demoRightsHook() { return rightsHookSlot(); }

DemoCounts buildDemoData(Database& db, int scale) {
    DemoBuilder builder(db, scale);
    return DemoCounts{builder.build()};
}

const std::vector<DemoIndex>& demoIndexes() {
    static const std::vector<DemoIndex> indexes = {
        {"ARCHIVEFACT", "AssocArcFact"},
        {"ARCHIVEFACT", "PeriodeArcFact"},
        {"ARCHIVEFACT", "ActiviteArcFact"},
        {"ABSENCESAIDANT", "CodeAidant"},
        {"DETAILCHGPARTEMP", "TrimDetailChgPartemp"},
        {"DETAILCHGPARTEMP", "CodCtrUrssafDetailChgPartemp"},
    };
    return indexes;
}

}  // namespace orv::tools
