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
//           client's)            33-54  her last and first name
//   55      "£" (key held)       56     "¤" (replacement)
//   58-82   the client's address (street; then complement; then postcode and town); 83 blank
//   84-128  the tasks, wrapped over as many lines as they need
// Continuation lines: columns 1-25 blank; 33-54 "Tel " and the other person's telephone, then
// the address and the tasks that follow. With several persons, each person's first line is the
// person line: value 1 "#" and the person's code, value 2 the first entry line.
#include "routines/emploi_du_temps.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <map>
#include <optional>

#include "engine/collation.h"
#include "engine/database.h"
#include "engine/day_number.h"

namespace orv {

namespace {

constexpr int kColJour = 1, kLargJour = 11;
constexpr int kColDebut = 13, kColFin = 19, kLargHeure = 5;
constexpr int kColCode = 26, kLargCode = 5;
constexpr int kColNom = 33, kLargNom = 22;
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

// What a reader sees as one character is one column: an accent stored decomposed (NFD, as some
// imports give) is composed before the text is measured, padded or cut.
QString composee(const QString& texte) { return texte.normalized(QString::NormalizationForm_C); }

// A printed line being laid out: fields placed at their columns, cut to their widths.
class Ligne {
  public:
    void placer(int colonne, const QString& texte, int largeur) {
        if (texte_.size() < colonne - 1 + largeur)
            texte_ = texte_.leftJustified(colonne - 1 + largeur);
        texte_.replace(colonne - 1, largeur, composee(texte).left(largeur).leftJustified(largeur));
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

// Words of `texte` in lines of at most `largeur` characters (a longer word is cut).
QStringList couper(const QString& texte, int largeur) {
    QStringList lignes;
    QString courante;
    for (const QString& mot : composee(texte).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!courante.isEmpty() && courante.size() + 1 + mot.size() > largeur) {
            lignes << courante;
            courante.clear();
        }
        courante += (courante.isEmpty() ? QString() : QStringLiteral(" ")) + mot;
    }
    if (!courante.isEmpty()) lignes << courante;
    return lignes;
}

QStringList adresse(const DynArray& client) {
    QStringList rue;
    for (int a = 5; a <= 8; ++a)
        if (!champ(client, a).isEmpty()) rue << champ(client, a);
    QStringList lignes;
    if (!rue.isEmpty()) lignes << rue.join(QLatin1Char(' '));
    if (!champ(client, 9).isEmpty()) lignes << champ(client, 9);
    lignes << (champ(client, 10) + QLatin1Char(' ') + champ(client, 11)).trimmed();
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
            personnes = selectionner(aides, parPersonne);
        }
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
        for (const std::string& cle : db_.select(requete)) {
            const std::optional<DynArray> r = db_.read(kPlanning, cle);
            if (!r) continue;
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
            if (!d_.act.empty() && v.activite != q(d_.act)) continue;
            resultat[aides ? v.aide : v.aidant].push_back(std::move(v));
        }
        return resultat;
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
        const DynArray client = aides ? lire(true, v.aide) : fiche;
        const QStringList adr = adresse(client);
        const QStringList taches = couper(v.taches.join(QStringLiteral(", ")), kLargTaches);
        const QString tel = champ(fiche, aides ? 12 : 14);

        Ligne entree;
        entree.placer(kColJour, jourTexte(v.jour), kLargJour);
        entree.placer(kColDebut, heure(v.debut), kLargHeure);
        entree.placer(kColFin, heure(v.fin), kLargHeure);
        entree.placer(kColCode, autre, kLargCode);
        entree.placer(kColNom, nomPrenom(fiche), kLargNom);
        entree.placer(kColCle, v.cle ? QStringLiteral("£") : QString(), 1);
        entree.placer(kColRemplacement, v.remplacement ? QStringLiteral("¤") : QString(), 1);
        entree.placer(kColAdresse, adr.value(0), kLargAdresse);
        entree.placer(kColTaches, taches.value(0), kLargTaches);
        lignes.push_back(entree.texte());

        const int suite =
            std::max({2, static_cast<int>(adr.size()), static_cast<int>(taches.size())});
        for (int k = 1; k < suite; ++k) {
            Ligne l;
            l.placer(1, QString(), kColCode - 1);
            if (k == 1 && !tel.isEmpty()) l.placer(kColNom, QStringLiteral("Tel ") + tel, kLargNom);
            l.placer(kColAdresse, adr.value(k), kLargAdresse);
            l.placer(kColTaches, taches.value(k), kLargTaches);
            lignes.push_back(l.texte());
        }
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
                          "EDITEMPLOITEMPS : jour incorrect « " + s(arg(i)) + " »");
        return n;
    };
    // The person codes go into a selection statement between double quotes.
    for (size_t i : {size_t{0}, size_t{4}})
        if (arg(i).contains(QLatin1Char('"')))
            throw DbError(DbErrorCode::InvalidArgument,
                          "EDITEMPLOITEMPS : code incorrect « " + s(arg(i)) + " »");
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
    d.aidantAide = s(arg(11).toUpper());
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
        std::string texte;
        const std::vector<std::string> lignes = construireEmploiDuTemps(session.database(), d);
        for (size_t i = 0; i < lignes.size(); ++i) {
            if (i > 0) texte += kAttributeMark;
            texte += lignes[i];
        }
        session.write("TEMPO", "EMPLOITPS" + d.user, DynArray(texte));
    });
}

}  // namespace orv
