#include "host/lignes_absences.h"

#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "client/marks.h"
#include "client/requete.h"
#include "engine/collation.h"
#include "schema/attributes.h"
#include "schema/lignes_absences.h"

namespace orv::host {

namespace {

namespace abs = orv::attr::absencesaidant;
namespace dem = orv::attr::demandesconges;
namespace civ = orv::attr::civilaidant;

struct Ligne {
    QString groupe, nom, cle;
    long debut = 0;
    QStringList valeurs;  // value k at index k - 1
    std::string ordre;    // the name's key in the French order of texts
};

struct Aidant {
    QString nom, groupe;
    long premierContrat = -1;  // start day of the earliest contract, -1 when none
};

// Helpers read once each, with the group the report is ordered by.
class Aidants {
  public:
    Aidants(dba::Database& db, Regroupement regroupement, bool contrats)
        : db_(db),
          fichier_(db.OpenFile(QStringLiteral("CIVILAIDANT"))),
          regroupement_(regroupement),
          contrats_(contrats) {}

    const Aidant& operator[](const QString& code) {
        auto it = lus_.find(code);
        if (it == lus_.end()) it = lus_.insert(code, lire(code));
        return *it;
    }

  private:
    Aidant lire(const QString& code) {
        Aidant a;
        try {
            const dba::Record r = fichier_->Read(code);
            a.nom = r.get(civ::Nom) + QLatin1Char(' ') + r.get(civ::Prenom);
            if (regroupement_ == Regroupement::Secteur) a.groupe = r.get(civ::Secteur);
            if (regroupement_ == Regroupement::Commune) a.groupe = r.get(civ::Commune);
        } catch (const dba::Error& e) {
            // The report leaves out a line whose helper is unknown; the order does not matter.
            if (e.number() != dba::kRecordNotFound) throw;
        }
        if (contrats_) a.premierContrat = premierContrat(code);
        return a;
    }

    long premierContrat(const QString& code) {
        const dba::Record r =
            db_.Query(QStringLiteral("SSELECT CONTRAT AVEC 0 = %1").arg(valeurRequete(code + "*]")),
                      QStringLiteral("CONTRAT"), {attr::contrat::Debut});
        long premier = -1;
        for (int i = 1; i <= r.DCount(); ++i) {
            bool ok = false;
            const long jour = r.get(i, 1).toLong(&ok);
            if (ok && (premier < 0 || jour < premier)) premier = jour;
        }
        return premier;
    }

    dba::Database& db_;
    std::shared_ptr<dba::File> fichier_;
    Regroupement regroupement_;
    bool contrats_;
    QMap<QString, Aidant> lus_;
};

// The motive label as it fits after the helper's name on the report's line
// (`largeur` characters): whole when it fits, else each of its words cut to
// a share of the room, the short linking words left out, joined by points ("Congés payés" gives
// "Con.Payé", "Accident du travail" "Acc.Trav", "Absence non autorisée" "Ab.No.Au"); a single
// word is cut and ends with a point ("Invalid.").
QString libelleCourt(const QString& libelle, int largeur) {
    const QString texte = libelle.simplified();
    if (texte.size() <= largeur) return texte;
    static const QRegularExpression separateurs(QStringLiteral("[\\s'’-]+"));
    static const QStringList liaisons{QStringLiteral("des"), QStringLiteral("les"),
                                      QStringLiteral("aux")};
    QStringList mots;
    for (const QString& mot : texte.split(separateurs, Qt::SkipEmptyParts))
        if (mot.size() > 2 && !liaisons.contains(mot.toLower())) mots << mot;
    if (mots.size() <= 1) return texte.left(largeur - 1) + QLatin1Char('.');
    const int n = int(mots.size());
    const int lettres = largeur - (n - 1);  // a point between words
    if (lettres < n) {
        QString initiales;
        for (const QString& mot : mots) initiales += mot.front().toUpper();
        return initiales.left(largeur);
    }
    QStringList parts;
    for (int i = 0; i < n; ++i) {
        // The words at the end take the letters left over: they tell motives apart.
        const int part = lettres / n + (i >= n - lettres % n ? 1 : 0);
        QString mot = mots[i].left(part);
        mot[0] = mot[0].toUpper();
        parts << mot;
    }
    return parts.join(QLatin1Char('.'));
}

bool categorieChoisie(const CriteresAbsences& c, int motif, const QString& etat) {
    if (etat == QLatin1String("EnC") && !c.aValider) return false;
    switch (abs::categorieMotif(motif)) {
        case 1:
            return c.arretsTravail;
        case 2:
            return c.conges;
        default:
            return c.evenementsFamiliaux;
    }
}

// Every record of `fichier` whose start day (characters 8 to 12 of the key, dictionary item
// `debut`) is on or before the last day and whose end day (attribute 2, item `fin`) is on or
// after the first: the absences and requests that meet the period.
dba::Record selection(dba::Database& db, const QString& fichier, const QString& debut,
                      const QString& fin, const CriteresAbsences& c,
                      std::initializer_list<int> champs) {
    return db.Query(QStringLiteral("SSELECT %1 AVEC %2 <= %3 AND AVEC %4 >= %5 PAR %2")
                        .arg(fichier, debut, valeurRequete(QString::number(c.fin)), fin,
                             valeurRequete(QString::number(c.debut))),
                    fichier, champs);
}

long anciennete(long premierContrat, long jour) {
    if (premierContrat < 0 || jour < premierContrat) return 0;
    return (jour - premierContrat) / 365;
}

}  // namespace

int categorieMotif(int motif) { return abs::categorieMotif(motif); }

dba::Record lignesAbsences(dba::Database& db, const CriteresAbsences& c) {
    Aidants aidants(db, c.regroupement, c.previsionnel);
    std::vector<Ligne> lignes;
    auto ajouter = [&](const QString& cle, QStringList valeurs) {
        const Aidant& a = aidants[cle.left(5)];
        lignes.push_back({a.groupe, a.nom, cle, cle.mid(7, 5).toLong(), std::move(valeurs), {}});
    };
    if (!c.previsionnel) {
        const dba::Record r =
            selection(db, QStringLiteral("ABSENCESAIDANT"), QStringLiteral("DebAbsAidant"),
                      QStringLiteral("FinAbsAidant"), c,
                      {0, abs::LibelleMotif, abs::JourFin, abs::EtatDemande});
        for (const QStringList& l : valeursDesLignes(r)) {
            const QString cle = l.value(0);
            if (!categorieChoisie(c, cle.mid(5, 2).toInt(), l.value(3))) continue;
            ajouter(cle,
                    {cle, libelleCourt(l.value(1), lignesabsences::LargeurLibelle), l.value(2)});
        }
    } else {
        const dba::Record r = selection(
            db, QStringLiteral("DEMANDESCONGES"), QStringLiteral("DebDemandeConges"),
            QStringLiteral("FinDemandeConges"), c,
            {0, dem::LibelleMotif, dem::Etat, dem::JourFin, dem::Enfants, dem::JoursDemandes});
        for (const QStringList& l : valeursDesLignes(r)) {
            const QString cle = l.value(0);
            const long debut = cle.mid(7, 5).toLong();
            const QString fin = l.value(3).rightJustified(5, QLatin1Char('0'));
            QStringList v(15);
            v[0] = cle;
            v[1] = libelleCourt(l.value(1), lignesabsences::LargeurType);
            v[2] = l.value(2);
            v[7] = QString::number(anciennete(aidants[cle.left(5)].premierContrat, debut));
            v[8] = l.value(4);
            v[13] = cle.left(12) + fin;
            v[14] = QString::number(l.value(5).toDouble() / 100.0, 'f', 1)
                        .replace(QLatin1Char('.'), QLatin1Char(','));
            ajouter(cle, v);
        }
    }
    // The report starts a new page whenever the group changes: a group's lines stay together,
    // by helper name, each helper's absences by start day.
    for (Ligne& l : lignes) l.ordre = orv::collation::key(l.nom.toStdString());
    std::stable_sort(lignes.begin(), lignes.end(), [](const Ligne& a, const Ligne& b) {
        if (a.groupe != b.groupe) return a.groupe < b.groupe;
        const int nom = a.ordre.compare(b.ordre);
        if (nom != 0) return nom < 0;
        return a.debut < b.debut;
    });
    // The record's text in one pass: writing each value in place would walk the record from its
    // start for every line. A line keeps its values up to its last one that is not empty.
    QStringList textes;
    for (const Ligne& l : lignes) {
        QStringList v = l.valeurs;
        while (!v.isEmpty() && v.last().isEmpty()) v.removeLast();
        textes << v.join(QChar(kValueMarkChar));
    }
    while (!textes.isEmpty() && textes.last().isEmpty()) textes.removeLast();
    return dba::Record(textes.join(QChar(kAttributeMarkChar)));
}

QList<QStringList> valeursDesLignes(const dba::Record& r) {
    QList<QStringList> lignes;
    const QString texte = r.get();
    if (texte.isEmpty()) return lignes;
    for (const QString& ligne : texte.split(QChar(kAttributeMarkChar)))
        lignes << ligne.split(QChar(kValueMarkChar));
    return lignes;
}

}  // namespace orv::host
