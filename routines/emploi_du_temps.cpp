// The server routine "EDITEMPLOITEMPS".
//
// Visits: file PLANNING, one record a visit, keyed helper code * day * start ("00101*20500*0800"):
//   1 day (internal day number), 2 start "hhmm", 3 end "hhmm", 4 helper code, 5 client code,
//   6 activity key, 7 the tasks (one value each), 8 "1" when the helper holds a key of the
//   client's home (marker "£"), 9 "1" when the helper replaces the usual helper (marker "¤").
//
// Persons: one helper (codAidant), one client (codeAide), or, with aidantAide "AIDANT" or
// "AIDE", every helper (CIVILAIDANT) or client (CIVILAIDE) that passes all the criteria given:
//   asso      the person's legal entity (attribute 20) equals it;
//   select    the person's sector (helper 31, client 23) equals it;
//   de, a     the person's code lies between them, both included (text order, codes are
//             five digits);
//   act       only the visits of this activity count (a person without one is left out);
//   sansMail  the persons with an e-mail address (attribute 18) are left out: they receive
//             their timetable by mail;
//   sansTlgMobile  the helpers who clock in with the mobile application (CIVILAIDANT attribute
//             47 = "1") are left out: they see their timetable on the phone;
//   tri       "NOM": persons by last name, first name, code; otherwise by code.
// Persons without a visit in the period are left out.
//
// The record "EMPLOITPS" + user of TEMPO: attribute 1 is "VIDE" when no visit was found (then
// attribute 2 is "FIN"), else empty; from attribute 2, one printed line an attribute, then
// "FIN". Columns (from 1, counted in characters; accents take one column):
//   1-11    day "Lun 07/02" (an entry line never starts with a blank)
//   13-17   start "08:00"        19-23  end "10:30"
//   26-30   code of the other person (the client on a helper's timetable, the helper on a
//           client's)            33-53  her last and first name (54 stays blank: the marker
//           print stops at 53)
//   55      "£" (key held)       56     "¤" (replacement)
//   58-82   on a helper's timetable, the client's address (street; then complement; then
//           postcode and town); 83 blank. A client's timetable leaves it blank: the printout
//           blanks that column.
//   84-128  the tasks
// Continuation lines: columns 1-25 blank; 33-53 the rest of a long name, then "Tel " and the
// other person's telephone; the rest of the address and of the tasks. A text longer than its
// column goes on over as many continuation lines as it needs, broken after a blank or a
// hyphen (a word longer than the column is cut), so that nothing is lost. With several
// persons, each person's first line is the person line: value 1 "#" and the person's code,
// value 2 the first entry line.
#include "routines/emploi_du_temps.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <map>
#include <optional>

#include "engine/attribute_list.h"
#include "engine/collation.h"
#include "engine/database.h"
#include "engine/day_number.h"
#include "routines/texte_compose.h"

namespace orv {

namespace {

constexpr int kColJour = 1, kLargJour = 11;
constexpr int kColDebut = 13, kColFin = 19, kLargHeure = 5;
constexpr int kColCode = 26, kLargCode = 5;
constexpr int kColNom = 33, kLargNom = 21;
constexpr int kColCle = 55, kColRemplacement = 56;
constexpr int kColAdresse = 58, kLargAdresse = 25;  // column 83 stays blank
constexpr int kColTaches = 84, kLargTaches = 45;

const char* const kPlanning = "PLANNING";
const char* const kCivilAidant = "CIVILAIDANT";
const char* const kCivilAide = "CIVILAIDE";

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string s(const QString& t) { return t.toUtf8().toStdString(); }
QString champ(const DynArray& r, int a, int v = 0) { return q(r.extract(a, v)); }

bool vrai(const std::string& texte) {
    const QString t = q(texte).trimmed().toUpper();
    return t == "-1" || t == "1" || t == "TRUE" || t == "VRAI";
}

// A printed line being laid out: fields placed at their columns, cut to their widths.
class Ligne {
  public:
    void placer(int colonne, const QString& texte, int largeur) {
        if (texte_.size() < colonne - 1 + largeur)
            texte_ = texte_.leftJustified(colonne - 1 + largeur);
        texte_.replace(colonne - 1, largeur,
                       orv::composee(texte).left(largeur).leftJustified(largeur));
    }
    std::string texte() const {
        QString t = texte_;
        while (t.endsWith(QLatin1Char(' '))) t.chop(1);
        return s(t);
    }

  private:
    QString texte_;
};

struct Visite {
    long jour = 0;
    QString debut, fin, aidant, aide, activite;
    QStringList taches;
    bool cle = false, remplacement = false;
};

struct Personne {
    QString code;
    DynArray fiche;
};

QString jourTexte(long jour) {
    static const char* const kJours[] = {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"};
    int annee = 0, mois = 0, quantieme = 0;
    civilFromDay(jour, annee, mois, quantieme);
    return QString::asprintf("%s %02d/%02d", kJours[isoWeekday(jour) - 1], quantieme, mois);
}

QString heure(const QString& hhmm) {
    return hhmm.size() == 4 ? hhmm.left(2) + QLatin1Char(':') + hhmm.mid(2) : hhmm;
}

QString nomPrenom(const DynArray& fiche) {
    return (champ(fiche, 2) + QLatin1Char(' ') + champ(fiche, 3)).trimmed();
}

// `texte` in lines of at most `largeur` characters, broken after a blank or a hyphen, as late
// as the line allows; a word longer than the line is cut.
QStringList couper(const QString& texte, int largeur) {
    QStringList lignes;
    QString reste = orv::composee(texte).simplified();
    while (reste.size() > largeur) {
        qsizetype coupure = largeur;
        for (qsizetype i = largeur; i > 0; --i) {
            if (reste.at(i) == QLatin1Char(' ') || reste.at(i - 1) == QLatin1Char('-')) {
                coupure = i;
                break;
            }
        }
        lignes << reste.left(coupure).trimmed();
        reste = reste.mid(coupure).trimmed();
    }
    if (!reste.isEmpty()) lignes << reste;
    return lignes;
}

// The address column's lines: the street, the complement, the postcode and town, each over as
// many lines as it needs.
QStringList adresse(const DynArray& client) {
    QStringList rue;
    for (int a = 5; a <= 8; ++a)
        if (!champ(client, a).isEmpty()) rue << champ(client, a);
    QStringList parties;
    if (!rue.isEmpty()) parties << rue.join(QLatin1Char(' '));
    if (!champ(client, 9).isEmpty()) parties << champ(client, 9);
    parties << (champ(client, 10) + QLatin1Char(' ') + champ(client, 11)).trimmed();
    QStringList lignes;
    for (const QString& partie : parties) lignes << couper(partie, kLargAdresse);
    return lignes;
}

class Constructeur {
  public:
    Constructeur(Database& db, const DemandeEmploiDuTemps& d) : db_(db), d_(d) {}

    std::vector<std::string> construire() {
        const bool plusieurs = d_.codAidant.empty() && d_.codeAide.empty();
        const bool aides = !d_.codeAide.empty() || (plusieurs && d_.aidantAide == "AIDE");
        if (plusieurs && d_.aidantAide != "AIDE" && d_.aidantAide != "AIDANT") return vide();
        std::map<QString, std::vector<Visite>> parPersonne = visites(aides);
        std::vector<Personne> personnes;
        if (!plusieurs) {
            const QString code = q(aides ? d_.codeAide : d_.codAidant);
            if (parPersonne.count(code)) personnes.push_back({code, lire(aides, code)});
        } else {
            std::vector<QString> codes;
            for (const auto& entree : parPersonne) codes.push_back(entree.first);
            precharger(aides, codes);
            personnes = selectionner(aides, parPersonne);
        }
        // The other party of every visit printed, read together.
        std::vector<QString> autres;
        for (const Personne& p : personnes)
            for (const Visite& v : parPersonne[p.code]) autres.push_back(aides ? v.aidant : v.aide);
        precharger(!aides, autres);
        std::vector<std::string> lignes{std::string()};
        for (const Personne& p : personnes) {
            const size_t premiere = lignes.size();
            for (const Visite& v : parPersonne[p.code]) ajouterVisite(v, aides, lignes);
            if (plusieurs) lignes[premiere] = "#" + s(p.code) + kValueMark + lignes[premiere];
        }
        if (lignes.size() == 1) return vide();
        lignes.push_back("FIN");
        return lignes;
    }

  private:
    static std::vector<std::string> vide() { return {"VIDE", "FIN"}; }

    // The visits of the period (and activity), by person code, in day and start order.
    std::map<QString, std::vector<Visite>> visites(bool aides) {
        // One person's timetable reads only that person's visits.
        std::string personne;
        if (!d_.codAidant.empty())
            personne = "AVEC AidantPlanning = \"" + d_.codAidant + "\" AND ";
        else if (!d_.codeAide.empty())
            personne = "AVEC AidePlanning = \"" + d_.codeAide + "\" AND ";
        const std::string requete = "SSELECT PLANNING " + personne + "AVEC JourPlanning >= \"" +
                                    std::to_string(d_.jourDebut) +
                                    "\" AND AVEC JourPlanning <= \"" + std::to_string(d_.jourFin) +
                                    "\" PAR JourPlanning PAR DebutPlanning";
        std::map<QString, std::vector<Visite>> resultat;
        db_.readEach(kPlanning, db_.select(requete), [&](size_t, std::optional<DynArray> r) {
            if (!r) return;
            Visite v;
            v.jour = champ(*r, 1).toLong();
            v.debut = champ(*r, 2);
            v.fin = champ(*r, 3);
            v.aidant = champ(*r, 4);
            v.aide = champ(*r, 5);
            v.activite = champ(*r, 6);
            for (int k = 1; k <= r->count(7); ++k) v.taches << champ(*r, 7, k);
            v.cle = champ(*r, 8) == QLatin1String("1");
            v.remplacement = champ(*r, 9) == QLatin1String("1");
            if (!d_.act.empty() && v.activite != q(d_.act)) return;
            resultat[aides ? v.aide : v.aidant].push_back(std::move(v));
        });
        return resultat;
    }

    // The records of these persons put in the cache of lire, read together (a few statements
    // to a server rather than one a person).
    void precharger(bool aides, std::vector<QString> codes) {
        auto& cache = aides ? aides_ : aidants_;
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        std::erase_if(codes, [&](const QString& c) { return cache.count(c) > 0; });
        std::vector<std::string> cles;
        for (const QString& c : codes) cles.push_back(s(c));
        db_.readEach(
            aides ? kCivilAide : kCivilAidant, cles,
            [&](size_t i, std::optional<DynArray> r) { cache[codes[i]] = r.value_or(DynArray()); });
    }

    DynArray lire(bool aides, const QString& code) {
        auto& cache = aides ? aides_ : aidants_;
        auto it = cache.find(code);
        if (it != cache.end()) return it->second;
        const std::optional<DynArray> r = db_.read(aides ? kCivilAide : kCivilAidant, s(code));
        return cache[code] = r.value_or(DynArray());
    }

    bool retenue(bool aides, const Personne& p) const {
        const QString code = p.code;
        if (!d_.asso.empty() && champ(p.fiche, 20) != q(d_.asso)) return false;
        if (!d_.select.empty() && champ(p.fiche, aides ? 23 : 31) != q(d_.select)) return false;
        if (!d_.de.empty() && code < q(d_.de)) return false;
        if (!d_.a.empty() && code > q(d_.a)) return false;
        if (d_.sansMail && !champ(p.fiche, 18).isEmpty()) return false;
        if (d_.sansTlgMobile && !aides && champ(p.fiche, 47) == QLatin1String("1")) return false;
        return true;
    }

    std::vector<Personne> selectionner(bool aides,
                                       const std::map<QString, std::vector<Visite>>& visites) {
        std::vector<Personne> personnes;
        for (const auto& [code, liste] : visites) {
            Personne p{code, lire(aides, code)};
            if (retenue(aides, p)) personnes.push_back(std::move(p));
        }
        if (q(d_.tri).trimmed().toUpper() == QLatin1String("NOM")) {
            // Names in French order, as selections sort them; the codes keep their order.
            std::stable_sort(personnes.begin(), personnes.end(), [](const auto& x, const auto& y) {
                for (int a : {2, 3})
                    if (const int c = collation::compare(x.fiche.extract(a), y.fiche.extract(a)))
                        return c < 0;
                return false;
            });
        }
        return personnes;
    }

    void ajouterVisite(const Visite& v, bool aides, std::vector<std::string>& lignes) {
        const QString autre = aides ? v.aidant : v.aide;
        const DynArray fiche = lire(!aides, autre);
        // A client's timetable has no address column: her own address is in the heading.
        const QStringList adr = aides ? QStringList() : adresse(fiche);
        const QStringList taches = couper(v.taches.join(QStringLiteral(", ")), kLargTaches);
        QStringList nom = couper(nomPrenom(fiche), kLargNom);
        if (nom.isEmpty()) nom << QString();
        if (const QString tel = champ(fiche, aides ? 12 : 14); !tel.isEmpty())
            nom << couper(QStringLiteral("Tel ") + tel, kLargNom);

        Ligne entree;
        entree.placer(kColJour, jourTexte(v.jour), kLargJour);
        entree.placer(kColDebut, heure(v.debut), kLargHeure);
        entree.placer(kColFin, heure(v.fin), kLargHeure);
        entree.placer(kColCode, autre, kLargCode);
        entree.placer(kColCle, v.cle ? QStringLiteral("£") : QString(), 1);
        entree.placer(kColRemplacement, v.remplacement ? QStringLiteral("¤") : QString(), 1);
        lignes.push_back(colonnes(entree, nom, adr, taches, 0));

        const qsizetype suite = std::max({nom.size(), adr.size(), taches.size()});
        for (qsizetype k = 1; k < suite; ++k) {
            Ligne l;
            l.placer(1, QString(), kColCode - 1);
            lignes.push_back(colonnes(l, nom, adr, taches, k));
        }
    }

    // Line k of the name, address and task columns placed in `ligne`.
    static std::string colonnes(Ligne& ligne, const QStringList& nom, const QStringList& adr,
                                const QStringList& taches, qsizetype k) {
        ligne.placer(kColNom, nom.value(k), kLargNom);
        ligne.placer(kColAdresse, adr.value(k), kLargAdresse);
        ligne.placer(kColTaches, taches.value(k), kLargTaches);
        return ligne.texte();
    }

    Database& db_;
    const DemandeEmploiDuTemps& d_;
    std::map<QString, DynArray> aidants_, aides_;
};

}  // namespace

DemandeEmploiDuTemps DemandeEmploiDuTemps::depuisArguments(const std::vector<std::string>& args) {
    auto arg = [&](size_t i) { return i < args.size() ? q(args[i]).trimmed() : QString(); };
    auto jour = [&](size_t i) {
        bool ok = false;
        const long n = arg(i).toLong(&ok);
        if (!ok)
            throw DbError(DbErrorCode::RoutineFailed,
                          "le jour « " + s(arg(i)) + " » n'est pas une date de la base");
        return n;
    };
    // The person codes go into a selection statement between double quotes.
    for (size_t i : {size_t{0}, size_t{4}})
        if (arg(i).contains(QLatin1Char('"')))
            throw DbError(DbErrorCode::RoutineFailed,
                          "le code « " + s(arg(i)) + " » n'est pas un code d'aidant ou d'aidé");
    DemandeEmploiDuTemps d;
    d.codAidant = s(arg(0));
    d.user = s(arg(1));
    d.jourDebut = jour(2);
    d.jourFin = jour(3);
    d.codeAide = s(arg(4));
    d.asso = s(arg(5));
    d.act = s(arg(6));
    d.tri = s(arg(7));
    d.select = s(arg(8));
    d.de = s(arg(9));
    d.a = s(arg(10));
    d.aidantAide = s(genrePersonnes(arg(11)));
    d.sansMail = vrai(s(arg(12)));
    d.sansTlgMobile = vrai(s(arg(13)));
    return d;
}

std::vector<std::string> construireEmploiDuTemps(Database& db, const DemandeEmploiDuTemps& d) {
    return Constructeur(db, d).construire();
}

void registerTimetableRoutine(Database& db) {
    db.registerRoutine("EDITEMPLOITEMPS", [](Session& session, std::vector<std::string>& args) {
        const DemandeEmploiDuTemps d = DemandeEmploiDuTemps::depuisArguments(args);
        const std::vector<std::string> lignes = construireEmploiDuTemps(session.database(), d);
        session.write("TEMPO", "EMPLOITPS" + d.user, DynArray(joinAttributes(lignes)));
    });
}

}  // namespace orv
