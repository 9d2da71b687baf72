#include "controls/traceabsences/etat_absences.h"

#include <algorithm>
#include <stdexcept>

#include "client/clock.h"
#include "client/marks.h"
#include "client/outils_communs.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "routines/texte_compose.h"
#include "schema/attributes.h"
#include "schema/lignes_absences.h"

namespace traceabsences {

namespace {

namespace civ = orv::attr::civilaidant;

const QString kBlanc = QStringLiteral("16777215");
const QString kMasque = QStringLiteral("XX9999999999");
const QString kCourier = QStringLiteral("Courier New");
constexpr double kDroiteTableau = 28.8;
constexpr double kPasLigne = 0.53;           // the chart's row pitch, in cm
constexpr double kLargeurGraphique = 19.74;  // the absence list's chart, 7 to 26.74 cm
constexpr long kJoursPrevisionnel = 56;      // the forecast report charts eight weeks
constexpr double kHautJours = 3.85;          // the day rules' top, below the week labels (cm)
// Days the utility object converts both ways: from day 0 (31/12/1967) to 31/12/9999.
const long kDernierJour = orv::OutilsCommuns::dayNumber(9999, 12, 31);

QString blancs(int n) { return QString(qMax(0, n), QLatin1Char(' ')); }
// A day given as text; none when the text is empty or not a number (a 5-character line key
// holds no start day).
std::optional<long> jourConnu(const QString& texte) {
    bool nombre = false;
    const long j = texte.trimmed().toLong(&nombre);
    return nombre ? std::optional<long>(j) : std::nullopt;
}
// A column of the forecast report: the value padded to its width, and always followed by at
// least one blank, so that a long value never runs into the next one.
QString colonne(const QString& texte, int largeur) {
    return orv::composee(texte).leftJustified(largeur - 1) + QLatin1Char(' ');
}
QString texteJour(long j) { return orv::OutilsCommuns::JourVersDate(j); }

struct Legende {
    double x;
    QString liste, conges;
};
const Legende kLegendes[3] = {
    {0, QStringLiteral("   Arrêts travail"), QStringLiteral("   Refusé")},
    {10, QStringLiteral("   Congés"), QStringLiteral("   Accepté")},
    {20, QStringLiteral("   Autres/A valider"), QStringLiteral("   En-cours")},
};

QString grisOuCouleur(int r, int g, int b) { return QString::number(orv::rgbValue(r, g, b)); }

// Colours of the categories whose parameter is not a number: red, green and amber, as the
// demonstration's parameters, each distinct from the others' colours.
const QStringList kCouleursRepli = {grisOuCouleur(255, 0, 0), grisOuCouleur(0, 176, 80),
                                    grisOuCouleur(255, 192, 0)};

QString refus(const QString& raison) { return raison + QStringLiteral(" : rien n'a été imprimé."); }

}  // namespace

int nombreSemaines(long deb, long fin) {
    const long jours = fin - deb + 1;
    return jours <= 0 ? 1 : int((jours + 6) / 7);
}

QString periodeRefusee(const Parametres& p) {
    for (const auto& [jour, quoi] :
         {std::pair{p.deb, QStringLiteral("premier")}, std::pair{p.fin, QStringLiteral("dernier")}})
        if (jour < 0 || jour > kDernierJour)
            return refus(QStringLiteral("Le %1 jour de la période (%2) n'est pas une date entre "
                                        "le %3 et le %4")
                             .arg(quoi)
                             .arg(jour)
                             .arg(texteJour(0), texteJour(kDernierJour)));
    if (p.fin < p.deb)
        return refus(QStringLiteral("La période se termine le %1, avant son premier jour, le %2")
                         .arg(texteJour(p.fin), texteJour(p.deb)));
    const long jours = p.fin - p.deb + 1;
    if (!p.congeAbsence && jours > orv::lignesabsences::JoursAuPlus)
        return refus(QStringLiteral("La période du %1 au %2 compte %3 jours ; la liste des "
                                    "absences en couvre au plus %4")
                         .arg(texteJour(p.deb), texteJour(p.fin))
                         .arg(jours)
                         .arg(orv::lignesabsences::JoursAuPlus));
    return {};
}

int categorieAbsence(const QString& code) {
    return orv::attr::absencesaidant::categorieMotif(code.trimmed().toInt());
}

int categorieStatut(const QString& statut) {
    if (statut == QStringLiteral("Ref")) return 1;
    if (statut == QStringLiteral("Acc")) return 2;
    if (statut == QStringLiteral("EnC")) return 3;
    return 0;
}

EtatAbsences::EtatAbsences(dba::Database& database, orv::Printer& printer,
                           const orv::RightsEntry& droits)
    : database_(database), printer_(printer), droits_(droits) {}

EtatAbsences::~EtatAbsences() = default;

void EtatAbsences::setRequete(const dba::Record& requete) {
    lignes_.clear();
    const QString texte = requete.get();
    if (texte.isEmpty()) return;
    for (const QString& ligne : texte.split(QChar(orv::kAttributeMarkChar)))
        lignes_.append(ligne.split(QChar(orv::kValueMarkChar)));
}

double EtatAbsences::largeurTableau() { return kDroiteTableau * UnCm; }

long EtatAbsences::joursGraphique() const {
    return p_.congeAbsence ? kJoursPrevisionnel : qMax(1L, p_.fin - p_.deb + 1);
}

int EtatAbsences::imprimer() {
    if (const QString refusee = periodeRefusee(p_); !refusee.isEmpty())
        throw std::invalid_argument(refusee.toStdString());
    ouvrirFichiers();
    PremLigne = 1;
    NbSemaines = nombreSemaines(p_.deb, p_.fin);
    LargJour = p_.congeAbsence ? 0.235 : kLargeurGraphique / double(joursGraphique());
    LargSemaine = p_.congeAbsence ? 1.645 : 7 * LargJour;
    remplirCouleurs();
    remplirJours();
    NumPage = 1;
    Ligne = 1;
    if (orv::isMatrixPrinter(printer_.deviceName())) {
        NbLignesPage = 49;
    } else {
        printer_.setOrientation(orv::PrinterOrientation::Landscape);
        NbLignesPage = 59;
    }
    Entete_Page();
    parcourir();
    DernLigne = IndLigne - 1;
    etape(QStringLiteral("le graphique de la page %1").arg(NumPage),
          [this] { Edition_Fin_Graphique(); });
    return NbImprimes;
}

void EtatAbsences::ouvrirFichiers() {
    absencesAidant_ = database_.OpenFile(QStringLiteral("ABSENCESAIDANT"));
    civilAidant_ = database_.OpenFile(QStringLiteral("CIVILAIDANT"));
    communes_ = database_.OpenFile(QStringLiteral("COMMUNES"));
    secteurFichier_ = database_.OpenFile(QStringLiteral("SECTEUR"));
    tables_ = database_.OpenFile(QStringLiteral("TABLES"));
    statAidant_ = database_.OpenFile(QStringLiteral("STATAIDANT"));
}

void EtatAbsences::remplirCouleurs() {
    const bool monochrome = printer_.colorMode() == orv::PrinterColorMode::Monochrome;
    const QStringList gris = {grisOuCouleur(0, 0, 0), grisOuCouleur(100, 100, 100),
                              grisOuCouleur(200, 200, 200)};
    if (p_.congeAbsence) {
        Couleurs = monochrome
                       ? gris
                       : QStringList{grisOuCouleur(255, 128, 128), grisOuCouleur(0, 255, 255),
                                     grisOuCouleur(192, 255, 192)};
        return;
    }
    tpsParam_ = database_.OpenFile(QStringLiteral("TPSPARAM"));
    const dba::Record parametres = tpsParam_->Read(QStringLiteral("1"));
    namespace tps = orv::attr::tpsparam;
    Couleurs = monochrome ? gris
                          : QStringList{parametres.get(tps::CouleurArrets),
                                        parametres.get(tps::CouleurConges),
                                        parametres.get(tps::CouleurAutres)};
    const int attributs[3] = {tps::CouleurArrets, tps::CouleurConges, tps::CouleurAutres};
    const auto nombre = [](const QString& texte) {
        bool ok = false;
        texte.trimmed().toLongLong(&ok);
        return ok;
    };
    for (int c = 0; c < 3; ++c) {
        if (nombre(Couleurs[c])) continue;
        notes_ << QStringLiteral(
                      "La couleur de la catégorie « %1 » (attribut %2 de la fiche « 1 » "
                      "de TPSPARAM) n'est pas un nombre : ses barres prennent une couleur de "
                      "remplacement.")
                      .arg(kLegendes[c].liste.trimmed())
                      .arg(attributs[c]);
        // The category's own fall-back, or another one when a category already shows it.
        QStringList candidats = kCouleursRepli;
        candidats.move(c, 0);
        for (const QString& candidat : candidats) {
            bool prise = false;
            for (int autre = 0; autre < 3; ++autre)
                prise |=
                    autre != c && Couleurs[autre].trimmed().toLongLong() == candidat.toLongLong();
            if (prise) continue;
            Couleurs[c] = candidat;
            break;
        }
    }
}

void EtatAbsences::remplirJours() {
    DatesDebut.clear();
    DatesFin.clear();
    for (int i = 1; i <= nombreLignes(); ++i) {
        if (p_.congeAbsence) {
            const QString jours = valeur(i, 14);
            DatesDebut << jours.mid(7, 5);
            DatesFin << jours.mid(12, 5);
        } else {
            DatesDebut << valeur1(i).mid(7, 5);
            DatesFin << valeur(i, orv::lignesabsences::Fin);
        }
    }
}

void EtatAbsences::parcourir() {
    IndLigne = 1;
    NbImprimes = 0;
    bool groupeImprime = false;
    for (;;) {
        etape(QStringLiteral("la ligne %1 (%2)").arg(IndLigne).arg(valeur1(IndLigne)),
              [&] { traiterLigne(groupeImprime); });
        if (progression_) progression_(IndLigne);
        ++IndLigne;
        if (valeur1(IndLigne).isEmpty()) break;
    }
}

void EtatAbsences::traiterLigne(bool& groupeImprime) {
    dba::Record civil;
    if (!ligneRetenue(IndLigne, civil)) return;
    if (!groupeImprime) {
        Entete_Detail();
        groupeImprime = true;
    } else if ((p_.secteur && civil.get(civ::Secteur) != GroupeCourant) ||
               (!p_.secteur && p_.commune && civil.get(civ::Commune) != GroupeCourant)) {
        New_Page();
    }
    Verif_Ligne();
    ++NbImprimes;
}

bool EtatAbsences::ligneRetenue(int i, dba::Record& civil) {
    const QString cle = valeur1(i);
    if (cle.size() != 5 && cle.size() != 12) return false;
    try {
        civil = civilAidant_->Read(cle.left(5));
    } catch (const dba::Error& e) {
        if (e.number() == dba::kRecordNotFound) return false;
        throw;
    }
    return CodeAidant(cle) && droits_.sectorAllowed(civil.get(civ::Secteur), 0);
}

bool EtatAbsences::CodeAidant(const QString& texte) { return !texte.contains(QLatin1Char(' ')); }

void EtatAbsences::etape(const QString& quoi, const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        QString raison = QString::fromUtf8(e.what());
        if (const auto* d = dynamic_cast<const dba::Error*>(&e))
            raison += QStringLiteral(" (erreur %1)").arg(d->number());
        notes_ << QStringLiteral("Page %1 : %2 n'a pas pu être imprimé(e) : %3")
                      .arg(NumPage)
                      .arg(quoi, raison);
    }
}

void EtatAbsences::position(double xCm, double yCm) {
    printer_.setCurrentX(tw(xCm));
    printer_.setCurrentY(tw(yCm));
}

void EtatAbsences::trait(double x1, double y1, double x2, double y2) {
    printer_.line(tw(x1), tw(y1), tw(x2), tw(y2));
}

void EtatAbsences::boite(double x1, double y1, double x2, double y2, const QColor& fond) {
    printer_.fillBox(tw(x1), tw(y1), tw(x2), tw(y2), fond);
    printer_.box(tw(x1), tw(y1), tw(x2), tw(y2), Qt::black);
}

QColor EtatAbsences::couleur(const QString& texte) {
    return orv::colorFromRgbValue(texte.trimmed().toLongLong());
}

QString EtatAbsences::ceQuiTient(const QString& texte, double limiteCm) const {
    const double place = tw(limiteCm) - printer_.currentX();
    QString tient = texte;
    while (!tient.isEmpty() && printer_.textWidth(tient) > place) tient.chop(1);
    return tient;
}

void EtatAbsences::Entete_Page() {
    printer_.setFontUnderline(false);
    printer_.setFontName(kCourier);
    printer_.setFontSize(10);
    printer_.print();
    const QDate d = orv::today();
    const long aujourdhui = orv::OutilsCommuns::dayNumber(d.year(), d.month(), d.day());
    printer_.print(QStringLiteral("Date : ") + orv::OutilsCommuns::JourVersDate(aujourdhui) +
                   blancs(105) + QStringLiteral("Page : ") + QString::number(NumPage));
    printer_.setFontSize(14);
    printer_.setFontBold(true);
    const QString debut = orv::OutilsCommuns::JourVersDate(p_.deb);
    if (p_.congeAbsence)
        printer_.print(blancs(26) + QStringLiteral("CONGES PREVISIONNELS A PARTIR DU ") + debut,
                       false);
    else
        printer_.print(blancs(18) + QStringLiteral("LISTE DES AIDANTS ABSENTS ENTRE LE ") + debut +
                           QStringLiteral(" ET LE ") + orv::OutilsCommuns::JourVersDate(p_.fin),
                       false);
    printer_.setFontBold(false);
    printer_.setFontSize(12);
    printer_.print();
}

void EtatAbsences::Entete_Detail() {
    civil_ = civilAidant_->Read(valeur1(IndLigne).left(5));
    const auto titreGroupe = [this](const QString& titre) {
        printer_.setFontUnderline(true);
        printer_.setCurrentX(0);
        printer_.print(titre, false);
        printer_.setFontUnderline(false);
        printer_.print(QStringLiteral(" : "), false);
    };
    if (p_.secteur) {
        const QString code = civil_.get(civ::Secteur);
        if (!droits_.sectorAllowed(code, 0)) return;
        GroupeCourant = code;
        // Helpers without a sector, or of a sector that has no record, are grouped under a
        // heading of their own rather than dropped.
        if (code.trimmed().isEmpty()) {
            printer_.setFontUnderline(true);
            printer_.setCurrentX(0);
            printer_.print(QStringLiteral("Secteur"), false);
            printer_.setFontUnderline(false);
            printer_.print(QStringLiteral(" non renseigné"));
        } else {
            titreGroupe(QStringLiteral("Secteur"));
            printer_.print(nomSecteur(code));
        }
    } else if (p_.commune) {
        titreGroupe(QStringLiteral("Commune"));
        GroupeCourant = civil_.get(civ::Commune);
        printer_.print(GroupeCourant);
    }
    Entete_Graphique();
}

QString EtatAbsences::nomSecteur(const QString& code) {
    try {
        return secteurFichier_->Read(code).get(orv::attr::secteur::Nom);
    } catch (const dba::Error& e) {
        if (e.number() == dba::kRecordNotFound) return code;
        throw;
    }
}

bool EtatAbsences::datesMasquees() const { return valeur(IndLigne, 17).mid(17, 12) == kMasque; }

void EtatAbsences::Imprime_Graphique() {
    civil_ = civilAidant_->Read(valeur1(IndLigne).left(5));
    const double y0 = printer_.currentY();
    printer_.setCurrentX(tw(0.1));
    printer_.setFontSize(9);
    printer_.print(valeur1(IndLigne).left(5) + blancs(2), false);
    // Padded and cut as a reader counts: an accent stored decomposed takes one column.
    const QString nom =
        orv::composee(civil_.get(civ::Nom) + QLatin1Char(' ') + civil_.get(civ::Prenom));
    printer_.print(nom.size() <= 18 ? nom.leftJustified(21) : nom.left(19) + blancs(2), false);

    const int ecart = p_.congeAbsence ? 70 : 104;
    const double xDebut = p_.congeAbsence ? 6.7 : 5.05;
    const bool masque = datesMasquees();
    const std::optional<long> debut = jourConnu(DatesDebut.value(IndLigne - 1));
    const std::optional<long> fin = jourConnu(DatesFin.value(IndLigne - 1));
    const bool debutImprime = !masque && debut && *debut < p_.deb;
    // Value 2 takes what fits before the next text of the line: the start column in the
    // forecast report; in the absence list the start date when it is printed, else the chart.
    const double limite = p_.congeAbsence || debutImprime ? xDebut : origineGraphique();
    printer_.print(ceQuiTient(valeur(IndLigne, orv::lignesabsences::Libelle), limite), false);

    printer_.setCurrentX(tw(xDebut));
    printer_.print(debutImprime ? texteJour(*debut) + blancs(ecart) : blancs(ecart + 10), false);
    printer_.print(!masque && fin && *fin > p_.fin ? texteJour(*fin) : blancs(10), false);

    if (p_.congeAbsence) {
        // Only the copy in memory gets the 0.
        if (civil_.get(civ::Reference).isEmpty()) civil_.put(civ::Reference, QStringLiteral("0"));
        // A value wider than its column is printed whole, a blank after it: the columns
        // after it move right.
        printer_.print(QLatin1Char(' ') + colonne(valeur(IndLigne, 8), 7) +
                           colonne(valeur(IndLigne, 9), 7) +
                           colonne(civil_.get(civ::Reference), 6) + valeur(IndLigne, 15),
                       false);
    }
    printer_.setFontSize(7);
    printer_.print();
    printer_.print();
    Ligne += 2;
    printer_.setFontSize(9);
    // The next line starts one chart row lower, whatever the font's own line height, so that
    // every line of text stays beside its bar.
    printer_.setCurrentY(y0 + tw(kPasLigne));
}

void EtatAbsences::Verif_Ligne() {
    if (Ligne >= NbLignesPage) New_Page();
    Imprime_Graphique();
}

void EtatAbsences::New_Page() {
    DernLigne = IndLigne - 1;
    etape(QStringLiteral("le graphique de la page %1").arg(NumPage),
          [this] { Edition_Fin_Graphique(); });
    Ligne = 1;
    ++NumPage;
    printer_.newPage();
    Entete_Page();
    Entete_Detail();
}

void EtatAbsences::Entete_Graphique() {
    const bool conges = p_.congeAbsence;
    position(0.1, 3);
    printer_.print();
    printer_.setFontSize(10);
    printer_.setCurrentX(tw(0.1));
    printer_.print(QStringLiteral("CODE") + QStringLiteral("  NOM PRENOM ") + blancs(8) +
                       (conges ? QStringLiteral("Type") + blancs(3) : QString()) +
                       QStringLiteral(" DEBUT ") + blancs(1) + blancs(41),
                   false);
    if (conges) {
        position(14, 3.1);
        printer_.print(QStringLiteral(" SEMAINES "));
        position(22, 3.3);
        printer_.print(QStringLiteral("  FIN     Anc   Enf   Ref   Jrs"));
    } else {
        position(15.6, 3.1);
        printer_.print(QStringLiteral(" SEMAINE(S) "));
        position(26.5, 3.3);
        printer_.print(QStringLiteral(" FIN "));
    }

    const QList<std::pair<double, double>> etiquettes = etiquettesSemaines();

    const int n = semainesAffichees();
    printer_.setDrawWidth(3);
    trait(0, 3.1, kDroiteTableau, 3.1);
    trait(0, 3.1, 0, 4);
    trait(kDroiteTableau, 3.1, kDroiteTableau, 4);
    printer_.setDrawWidth(1);
    trait(1.2, 3.1, 1.2, 4);
    const double x0 = origineGraphique();
    const QList<double> gauche = conges ? QList<double>{5.115, 6.645, 8.645} : QList<double>{5, 7};
    for (double g : gauche) trait(g, 3.1, g, 4);
    trait(0, 4, x0, 4);
    const double droiteGraphique = conges ? 21.82 : 26.74;
    trait(droiteGraphique, 4, kDroiteTableau, 4);
    printer_.setFontSize(10);
    printer_.setDrawWidth(22);
    for (int k = 1; k <= n - 1; ++k) {
        // A label wider than its week runs across the next week's mark: that mark is left to
        // the week's day rule, which starts below the labels.
        const double x = x0 + k * LargSemaine;
        const bool sousEtiquette = std::any_of(etiquettes.begin(), etiquettes.end(), [&](auto e) {
            return e.first < tw(x) && tw(x) < e.second;
        });
        if (!sousEtiquette) trait(x, 3.6, x, 4);
    }
    printer_.setDrawWidth(1);
    const QList<double> droite =
        conges ? QList<double>{21.82, 23.82, 25.07, 26.32, 27.57} : QList<double>{26.74};
    for (double d : droite) trait(d, 3.1, d, 4);
    position(0.1, 4.1);
}

// One label a week, the date of its first day "dd/mm/yy", centred in the week when it fits
// there, else from half a blank after the week's mark; a label that would leave the chart or come
// within half a blank of the previous one is left out, so that long periods show one label every
// few weeks.
QList<std::pair<double, double>> EtatAbsences::etiquettesSemaines() {
    QList<std::pair<double, double>> etendues;
    printer_.setFontSize(8);
    const double debutGraphique = tw(origineGraphique());
    const double bord = tw(bordGraphique());
    const double blanc = printer_.textWidth(QStringLiteral(" "));
    const double origine = p_.congeAbsence ? 8.6 : 7.0;
    double libreDepuis = debutGraphique;
    for (int k = 1; k <= semainesAffichees(); ++k) {
        const QString date = texteJour(p_.deb + 7L * (k - 1));
        const QString etiquette = date.left(6) + date.right(2);
        const double largeur = printer_.textWidth(etiquette);
        const double a = tw(origine + (k - 1) * LargSemaine);
        const double semaine = qMin(a + tw(LargSemaine), bord) - a;
        const double x = largeur <= semaine ? a + (semaine - largeur) / 2 : a + blanc / 2;
        if (x < libreDepuis || x + largeur > bord) continue;
        printer_.setCurrentY(tw(3.56));
        printer_.setCurrentX(x);
        printer_.print(etiquette);
        libreDepuis = x + largeur + blanc / 2;
        etendues.append({x, x + largeur});
    }
    return etendues;
}

void EtatAbsences::Edition_Fin_Graphique() {
    Ligne = Ligne >= 37 ? Ligne - 1 : Ligne - 0.5;
    const double bas = 4 + 0.27 * Ligne;
    const bool conges = p_.congeAbsence;
    const double x0 = origineGraphique();

    printer_.setDrawWidth(3);
    trait(0, 4, 0, bas);
    trait(kDroiteTableau, 4, kDroiteTableau, bas);
    trait(0, bas, kDroiteTableau, bas);
    printer_.setDrawWidth(1);
    trait(1.2, 4, 1.2, bas);
    const QList<double> colonnes = conges ? QList<double>{5.115, 6.645} : QList<double>{5, 7};
    for (double c : colonnes) trait(c, 4, c, bas);

    const long jours = joursGraphique();
    trait(x0, kHautJours, x0, bas);
    for (long j = 1; j < jours; ++j) {
        const double x = x0 + j * LargJour;
        printer_.setDrawWidth(j % 7 == 0 ? 22 : 1);
        trait(x, kHautJours, x, bas);
        printer_.setDrawWidth(1);
    }
    const double bord = bordGraphique();
    trait(bord, kHautJours, bord, bas);
    if (conges)
        for (double c : {23.82, 25.07, 26.32, 27.57}) trait(c, kHautJours, c, bas);

    int compteurs[4] = {0, 0, 0, 0};
    traceBarres(compteurs);
    PremLigne = DernLigne + 1;
    traceLegende(compteurs);
}

void EtatAbsences::traceBarres(int compteurs[4]) {
    const double x0 = origineGraphique();
    const double bord = bordGraphique();
    const long D = p_.deb;
    const long F = p_.fin;
    double y = 3.5;
    for (int i = PremLigne; i <= DernLigne; ++i) {
        dba::Record civil;
        if (!ligneRetenue(i, civil)) continue;
        const int categorie = p_.congeAbsence ? categorieStatut(valeur(i, 3))
                                              : categorieAbsence(valeur1(i).mid(5, 2));
        QString teinte = kBlanc;
        if (categorie != 0) {
            ++compteurs[categorie];
            teinte = Couleurs.value(categorie - 1);
            if (teinte.isEmpty()) teinte = kBlanc;
        }
        // A line without a start day is drawn from the chart's first day; one without an end
        // day has no bar.
        const long s = jourConnu(DatesDebut.value(i - 1)).value_or(D);
        const std::optional<long> f = jourConnu(DatesFin.value(i - 1));
        y += kPasLigne;
        if (teinte == kBlanc || !f) continue;
        // Every charted day of the absence is covered; what lies outside the chart is not.
        const double xs = x0 + qMax(0L, s - D) * LargJour;
        const double xe = qMin(x0 + (qMin(*f, F) - D + 1) * LargJour, bord);
        if (xs >= bord || xe <= xs) continue;
        boite(xs, y, xe, y + 0.4, couleur(teinte));
    }
}

void EtatAbsences::traceLegende(const int compteurs[4]) {
    printer_.setFontSize(10);
    for (int c = 1; c <= 3; ++c) {
        if (compteurs[c] == 0) continue;
        const Legende& l = kLegendes[c - 1];
        position(l.x + 1.5, 2.6);
        printer_.print(p_.congeAbsence ? l.conges : l.liste, false);
        boite(l.x, 2.5, l.x + 1.5, 3, couleur(Couleurs.value(c - 1)));
    }
}

}  // namespace traceabsences
