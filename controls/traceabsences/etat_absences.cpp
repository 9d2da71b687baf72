#include "controls/traceabsences/etat_absences.h"

#include <cmath>

#include "client/clock.h"
#include "client/outils_communs.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "schema/attributes.h"

namespace traceabsences {

namespace {

namespace civ = orv::attr::civilaidant;

const QString kBlanc = QStringLiteral("16777215");
const QString kMasque = QStringLiteral("XX9999999999");
const QString kCourier = QStringLiteral("Courier New");
constexpr double kDroiteTableau = 28.8;
constexpr double kPasLigne = 0.53;  // the chart's row pitch, in cm
constexpr long kJoursBarres = 84;   // bars start within the first twelve weeks only
constexpr int kEtiquettes = 12;

QString blancs(int n) { return QString(qMax(0, n), QLatin1Char(' ')); }
long jour(const QString& texte) { return texte.trimmed().toLong(); }
QString cadre(const QString& texte, int largeur) { return texte.leftJustified(largeur); }

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

}  // namespace

int nombreSemaines(long deb, long fin) {
    const double semaines = std::nearbyint(double(fin - deb + 1) / 7.0);
    return qMax(1, int(semaines));
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

int EtatAbsences::imprimer() {
    ouvrirFichiers();
    PremLigne = 1;
    NbSemaines = nombreSemaines(p_.deb, p_.fin);
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
    for (int c = 0; c < 3; ++c) {
        bool nombre = false;
        Couleurs[c].trimmed().toLongLong(&nombre);
        if (nombre) continue;
        notes_ << QStringLiteral(
                      "La couleur de la catégorie « %1 » (attribut %2 de la fiche « 1 » "
                      "de TPSPARAM) n'est pas un nombre : ses barres sont grises.")
                      .arg(kLegendes[c].liste.trimmed())
                      .arg(attributs[c]);
        Couleurs[c] = kGrisNeutre;
    }
}

void EtatAbsences::remplirJours() {
    DatesDebut.clear();
    DatesFin.clear();
    for (int i = 1; i <= Requete.DCount(); ++i) {
        if (p_.congeAbsence) {
            const QString jours = Requete.get(i, 14);
            DatesDebut << jours.mid(7, 5);
            DatesFin << jours.mid(12, 5);
        } else {
            DatesDebut << valeur1(i).mid(7, 5);
            DatesFin << Requete.get(i, 3);
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

QString EtatAbsences::dateTexte(const QString& jourTexte) const {
    return orv::OutilsCommuns::JourVersDate(jour(jourTexte));
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
        titreGroupe(QStringLiteral("Secteur"));
        const dba::Record secteur = secteurFichier_->Read(code);
        GroupeCourant = code;
        printer_.print(secteur.get(orv::attr::secteur::Nom));
    } else if (p_.commune) {
        titreGroupe(QStringLiteral("Commune"));
        GroupeCourant = civil_.get(civ::Commune);
        printer_.print(GroupeCourant);
    }
    Entete_Graphique();
}

bool EtatAbsences::datesMasquees() const {
    return Requete.get(IndLigne, 17).mid(17, 12) == kMasque;
}

void EtatAbsences::Imprime_Graphique() {
    civil_ = civilAidant_->Read(valeur1(IndLigne).left(5));
    const double y0 = printer_.currentY();
    printer_.setCurrentX(tw(0.1));
    printer_.setFontSize(9);
    printer_.print(valeur1(IndLigne).left(5) + blancs(2), false);
    const QString nom = civil_.get(civ::Nom) + QLatin1Char(' ') + civil_.get(civ::Prenom);
    printer_.print(nom.size() <= 18 ? cadre(nom, 21) : nom.left(19) + blancs(2), false);
    printer_.print(Requete.get(IndLigne, 2), false);

    const int ecart = p_.congeAbsence ? 70 : 104;
    printer_.setCurrentX(tw(p_.congeAbsence ? 6.7 : 5.05));
    const QString debut = DatesDebut.value(IndLigne - 1);
    const QString fin = DatesFin.value(IndLigne - 1);
    const bool masque = datesMasquees();
    if (!masque && jour(debut) < p_.deb)
        printer_.print(dateTexte(debut) + blancs(ecart), false);
    else
        printer_.print(blancs(ecart + 10), false);
    printer_.print(!masque && jour(fin) > p_.fin ? dateTexte(fin) : blancs(10), false);

    if (p_.congeAbsence) {
        // Only the copy in memory gets the 0.
        if (civil_.get(civ::Reference).isEmpty()) civil_.put(civ::Reference, QStringLiteral("0"));
        // A value wider than its column is printed whole: the columns after it move right.
        printer_.print(QLatin1Char(' ') + cadre(Requete.get(IndLigne, 8), 7) +
                           cadre(Requete.get(IndLigne, 9), 7) +
                           cadre(civil_.get(civ::Reference), 6) + Requete.get(IndLigne, 15),
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
    QStringList etiquettes;
    for (int k = 1; k <= kEtiquettes; ++k) {
        const QString date = orv::OutilsCommuns::JourVersDate(p_.deb + 7L * (k - 1));
        etiquettes << date.left(6) + date.right(2);
    }
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

    const int n = semainesAffichees();
    LargSemaine = conges ? 1.645 : 19.74 / n;
    double x = conges ? 8.6 : 7.0;
    for (int k = 1; k <= n; ++k) {
        printer_.setCurrentY(tw(3.56));
        printer_.setFontSize(8);
        const QString etiquette = etiquettes.value(k - 1);
        printer_.setCurrentX(x * UnCm + (LargSemaine * UnCm - printer_.textWidth(etiquette)) / 2);
        x += LargSemaine;
        printer_.print(etiquette);
    }

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
    for (int k = 1; k <= n - 1; ++k) trait(x0 + k * LargSemaine, 3.6, x0 + k * LargSemaine, 4);
    printer_.setDrawWidth(1);
    const QList<double> droite =
        conges ? QList<double>{21.82, 23.82, 25.07, 26.32, 27.57} : QList<double>{26.74};
    for (double d : droite) trait(d, 3.1, d, 4);
    position(0.1, 4.1);
}

void EtatAbsences::Edition_Fin_Graphique() {
    Ligne = Ligne >= 37 ? Ligne - 1 : Ligne - 0.5;
    const double bas = 4 + 0.27 * Ligne;
    const bool conges = p_.congeAbsence;
    const int n = semainesAffichees();
    const double x0 = origineGraphique();

    printer_.setDrawWidth(3);
    trait(0, 4, 0, bas);
    trait(kDroiteTableau, 4, kDroiteTableau, bas);
    trait(0, bas, kDroiteTableau, bas);
    printer_.setDrawWidth(1);
    trait(1.2, 4, 1.2, bas);
    const QList<double> colonnes = conges ? QList<double>{5.115, 6.645} : QList<double>{5, 7};
    for (double c : colonnes) trait(c, 4, c, bas);

    LargJour = conges ? 0.235 : LargSemaine / 7;
    const int jours = conges ? 55 : 7 * n - 1;
    trait(x0, 3.85, x0, bas);
    for (int j = 1; j <= jours; ++j) {
        const double x = x0 + j * LargJour;
        printer_.setDrawWidth(j % 7 == 0 ? 22 : 1);
        trait(x, 3.85, x, bas);
        printer_.setDrawWidth(1);
    }
    const double bord = x0 + 7 * n * LargJour;
    trait(bord, 3.85, bord, bas);
    if (conges)
        for (double c : {23.82, 25.07, 26.32, 27.57}) trait(c, 3.85, c, bas);

    int compteurs[4] = {0, 0, 0, 0};
    traceBarres(compteurs);
    PremLigne = DernLigne + 1;
    traceLegende(compteurs);
}

void EtatAbsences::traceBarres(int compteurs[4]) {
    const double x0 = origineGraphique();
    const double bord = x0 + 7 * semainesAffichees() * LargJour;
    const long D = p_.deb;
    const long F = p_.fin;
    double y = 3.5;
    for (int i = PremLigne; i <= DernLigne; ++i) {
        dba::Record civil;
        if (!ligneRetenue(i, civil)) continue;
        const int categorie = p_.congeAbsence ? categorieStatut(Requete.get(i, 3))
                                              : categorieAbsence(valeur1(i).mid(5, 2));
        QString teinte = kBlanc;
        if (categorie != 0) {
            ++compteurs[categorie];
            teinte = Couleurs.value(categorie - 1);
            if (teinte.isEmpty()) teinte = kBlanc;
        }
        const long s = jour(DatesDebut.value(i - 1));
        const long f = jour(DatesFin.value(i - 1));
        double xs = 0;
        if (s <= D)
            xs = x0;
        else if (s <= D + kJoursBarres)
            xs = x0 + (s - D) * LargJour;
        const double xe = x0 + ((f >= F ? F : f) - D + 1) * LargJour;
        y += kPasLigne;
        // An absence that lies outside the charted days has no bar; one that runs past the
        // chart's last day stops at its edge.
        const double fin = qMin(xe, bord);
        if (teinte == kBlanc || xs == 0 || xs >= bord || fin <= x0) continue;
        boite(xs, y, fin, y + 0.4, couleur(teinte));
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
