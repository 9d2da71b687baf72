#include "controls/soldeconges/mod_procedure.h"

#include <QChar>
#include <optional>

#include "client/outils_communs.h"
#include "client/requete.h"
#include "platform/messages.h"
#include "schema/attributes.h"

namespace soldeconges {

namespace {

using orv::OutilsCommuns;
namespace ab = orv::attr::absencesaidant;
namespace ca = orv::attr::contrat;
namespace cc = orv::attr::conventioncol;

QString jour(const QString& dateAffichee) { return OutilsCommuns::DateVersJour(dateAffichee); }
QString affichage(const QString& jourInterne) { return OutilsCommuns::JourVersDate(jourInterne); }

bool avant(const QString& a, const QString& b) { return comparerDates(a, b) < 0; }
bool apres(const QString& a, const QString& b) { return comparerDates(a, b) > 0; }

struct PeriodePaie {
    int annee = 0;
    int mois = 0;
};

// The current pay period of record "1" of PERIODESPAIE as year and month; nullopt (after the
// message) when the record or its file is missing or the period is not yyyymm.
std::optional<PeriodePaie> lirePeriodePaie(dba::Database& base) {
    QString periode;
    try {
        periode = base.OpenFile(QStringLiteral("PERIODESPAIE"))
                      ->Read(QStringLiteral("1"))
                      .get(orv::attr::periodespaie::PeriodeCourante);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound && e.number() != dba::kFileNotFound) throw;
    }
    bool chiffres = periode.size() == 6;
    for (const QChar c : periode) chiffres = chiffres && c.isDigit();
    const int mois = periode.right(2).toInt();
    if (!chiffres || mois < 1 || mois > 12) {
        orv::MsgBox(kMessagePeriodesPaie, orv::MsgOk);
        return std::nullopt;
    }
    return PeriodePaie{periode.left(4).toInt(), mois};
}

QString annee(int a) { return QString::number(a); }

// Start of the month of `base` (display date) in the year in which the period starting at
// `debutPeriode` begins.
QString premierDuMoisDansAnnee(const QString& base, const QString& debutPeriode) {
    return jour(QStringLiteral("01/") + base.mid(3, 2) + QLatin1Char('/') +
                affichage(debutPeriode).right(4));
}

QString dateAcquisitionAnciennete(const Mod_Variables& v, const QString& debut) {
    if (v.convention.get(cc::AncienneteAuDebut).trimmed() == QLatin1String("1")) return debut;
    const QString a97 = v.contrat.get(ca::DateAnciennete);
    QString base = affichage(a97.isEmpty() ? v.contrat.get(ca::Debut) : a97);
    const QString decalage = v.contrat.get(ca::DecalageAnciennete);
    if (!base.isEmpty() && !decalage.isEmpty() && decalage != QLatin1String("0")) {
        // Int(attribute 144 / 100 + 0.5): hundredths of days rounded to whole days, halves up.
        const Nombre jours =
            (Nombre::lireOuZero(decalage).centiemes() + Nombre::lire(QStringLiteral("0.5")).value())
                .partieEntiere();
        const long baseJour = jour(base).toLong();
        base = OutilsCommuns::JourVersDate(baseJour + jours.unites() / Nombre::kEchelle);
    }
    return premierDuMoisDansAnnee(base, debut);
}

// Replaces the start (the characters after the seventh) of an absence key.
QString cleAvecDebut(const QString& cle, const QString& debut) { return cle.left(7) + debut; }

}  // namespace

Mod_Variables& variablesBibliotheque() {
    static Mod_Variables v;
    return v;
}

int comparerDates(const QString& a, const QString& b) {
    bool okA = false, okB = false;
    const qlonglong na = a.toLongLong(&okA), nb = b.toLongLong(&okB);
    if (okA && okB) return na < nb ? -1 : (na > nb ? 1 : 0);
    return QString::compare(a, b);
}

void Ouvrir_Fichiers(dba::Database& base, Mod_Variables& v) {
    v.absencesAidant = base.OpenFile(QStringLiteral("ABSENCESAIDANT"));
    v.contrats = base.OpenFile(QStringLiteral("CONTRAT"));
    v.conventions = base.OpenFile(QStringLiteral("CONVENTIONCOL"));
}

void Fermer_Fichiers(Mod_Variables& v) {
    v.contrat = dba::Record();
    v.convention = dba::Record();
    v.absencesAidant.reset();
    v.contrats.reset();
    v.conventions.reset();
}

int Periode_Reference(dba::Database& base, Mod_Variables& v, const QString& date,
                      const QString& motif) {
    const std::optional<PeriodePaie> paie = lirePeriodePaie(base);
    if (!paie) return 0;
    const int y = paie->annee;
    const auto datePasseeLe = [&](const QString& limite) {
        return !date.isEmpty() && apres(date, jour(limite));
    };
    int k = 0;
    QString debut, fin;
    if (v.convention.get(cc::AnneeCivile).trimmed() == QLatin1String("1")) {
        k = datePasseeLe(QStringLiteral("31/12/") + annee(y)) ? 1 : 0;
        debut = jour(QStringLiteral("01/01/") + annee(y + k));
        fin = jour(QStringLiteral("31/12/") + annee(y + k));
    } else if (paie->mois <= 5) {
        k = datePasseeLe(QStringLiteral("31/05/") + annee(y)) ? 1 : 0;
        debut = jour(QStringLiteral("01/06/") + annee(y + k - 1));
        fin = jour(QStringLiteral("31/05/") + annee(y + k));
    } else {
        k = datePasseeLe(QStringLiteral("31/05/") + annee(y + 1)) ? 1 : 0;
        debut = jour(QStringLiteral("01/06/") + annee(y + k));
        fin = jour(QStringLiteral("31/05/") + annee(y + k + 1));
    }
    v.debutPeriode = debut;
    v.finPeriode = fin;
    if (motif == QLatin1String("14"))
        v.joursOuvres = v.convention.get(cc::JoursOuvres) == QLatin1String("1");
    v.dateAcquisitionCA = dateAcquisitionAnciennete(v, debut);
    return k;
}

QString Mois_Suivant(const QString& periode) {
    int mois = periode.mid(4, 2).toInt() + 1;
    int an = periode.left(4).toInt();
    if (mois >= 13) {
        mois = 1;
        ++an;
    }
    return jour(QStringLiteral("01/") + QString::number(mois) + QLatin1Char('/') +
                QString::number(an));
}

namespace {

// The kinds of leave counted: motive, label shown, total credited.
struct SorteConge {
    QLatin1String motif;
    const char* libelle;
    Total total;
};

const SorteConge* sorteConge(const QString& motif) {
    static const SorteConge sortes[] = {
        {QLatin1String("14"), "Congés payés", Total::CongesPayes},
        {QLatin1String("15"), "Congés fractionnement", Total::CongesPayes},
        {QLatin1String("16"), "Congés ancienneté", Total::Anciennete},
        {QLatin1String("25"), "Congés délai prévenance", Total::DelaiPrevenance},
        {QLatin1String("31"), "Congés reportés suite arrêt", Total::CongesPayes},
    };
    for (const SorteConge& s : sortes)
        if (motif == s.motif) return &s;
    return nullptr;
}

}  // namespace

QString libelleMotif(const QString& motif) {
    const SorteConge* s = sorteConge(motif);
    return s ? QString::fromUtf8(s->libelle) : QString();
}

Total totalDuMotif(const QString& motif) {
    const SorteConge* s = sorteConge(motif);
    return s ? s->total : Total::Aucun;
}

QString instructionAbsences(const QString& codeAidant, const QString& debut, const QString& fin) {
    const QString aidant = orv::valeurRequete(codeAidant + QStringLiteral("]"));
    const QString chevauche = QStringLiteral(" AND AVEC DebAbsAidant <= ") +
                              orv::valeurRequete(fin) + QStringLiteral(" AND AVEC 2 >= ") +
                              orv::valeurRequete(debut);
    return QStringLiteral("SSELECT ABSENCESAIDANT AVEC 0 = ") + aidant +
           QStringLiteral(" AND AVEC NumMotifAidant >= \"14\" AND AVEC NumMotifAidant <= \"16\"") +
           chevauche + QStringLiteral(" OR AVEC 0 = ") + aidant +
           QStringLiteral(" AND AVEC NumMotifAidant = \"25\" OR = \"31\"") + chevauche +
           QStringLiteral(" PAR CodeAidant PAR DebAbsAidant PAR-DECR NumMotifAidant");
}

void preparerAbsence(dba::Record& r, const Mod_Variables& v) {
    const QString cleContrat = v.contrat.key();
    QString cle = r.key();
    const QString finContrat = v.contrat.get(ca::Fin);
    if (!finContrat.isEmpty() && avant(finContrat, r.get(ab::JourFin)))
        r.put(ab::JourFin, finContrat);

    // This contract's share of the absence, when the absence is shared between contracts.
    int part = 0;
    for (int j = 1; j <= r.array().count(ab::PartApplique) && part == 0; ++j)
        if (r.get(ab::PartApplique, j) == QLatin1String("O") &&
            r.get(ab::PartContrat, j) == cleContrat)
            part = j;
    if (part) {
        cle = cleAvecDebut(cle, r.get(ab::PartDebut, part));
        r.put(ab::JourFin, r.get(ab::PartFin, part));
    }

    const QString debut = v.debutPeriode, fin = v.finPeriode;
    if (avant(cle.mid(7), debut) && !avant(r.get(ab::JourFin), debut))
        cle = cleAvecDebut(cle, debut);
    if (!apres(cle.mid(7), fin) && apres(r.get(ab::JourFin), fin)) r.put(ab::JourFin, fin);
    if (part) {
        if (avant(r.get(ab::PartDebut, part), cle.mid(7))) r.put(ab::PartDebut, part, cle.mid(7));
        if (apres(r.get(ab::PartFin, part), r.get(ab::JourFin)))
            r.put(ab::PartFin, part, r.get(ab::JourFin));
    }
    r.put(ab::ContratCompte, cleContrat);
    r.Insert(1, cle);  // every attribute moves up by one: the end is now attribute 3
}

Absences listerAbsences(dba::Database& base, const Mod_Variables& v, const QString& codeAidant) {
    Absences resultat;
    if (v.debutPeriode.isEmpty() || v.finPeriode.isEmpty()) return resultat;  // no period set
    const dba::Record selection =
        base.Query(instructionAbsences(codeAidant, v.debutPeriode, v.finPeriode),
                   QStringLiteral("ABSENCESAIDANT"), {0});
    for (int i = 1; i <= selection.DCount(); ++i) {
        const QString cle = selection.get(i, 1);
        if (cle.isEmpty()) continue;
        dba::Record r = v.absencesAidant->Read(cle);
        preparerAbsence(r, v);
        int statut = 0;
        dba::Record retour;
        base.CallRoutine(kRoutineCalcul, statut, r.get(), retour);
        const QString x = retour.get();
        if (x.isEmpty() || x == QLatin1String("0")) continue;
        const std::optional<Nombre> centiemes = Nombre::lire(x);
        if (!centiemes)
            throw dba::Error(dba::kRoutineError,
                             QStringLiteral("Résultat inattendu de la routine %1 pour l'absence "
                                            "%2 : « %3 »")
                                 .arg(kRoutineCalcul, cle, x));
        const Nombre jours = centiemes->partieEntiere().centiemes();
        const QString motif = cle.mid(5, 2);
        resultat.lignes.append(
            {affichage(r.get(1).mid(7)), affichage(r.get(3)), libelleMotif(motif), jours});
        switch (totalDuMotif(motif)) {
            case Total::CongesPayes:
                resultat.congesPayes += jours;
                break;
            case Total::Anciennete:
                resultat.anciennete += jours;
                break;
            case Total::DelaiPrevenance:
                resultat.delaiPrevenance += jours;
                break;
            case Total::Aucun:
                break;
        }
    }
    return resultat;
}

}  // namespace soldeconges
