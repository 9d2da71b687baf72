#include "controls/declartrim/releve_dnt.h"

#include "client/clock.h"
#include "client/outils_communs.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "routines/texte_compose.h"
#include "schema/attributes.h"

namespace declartrim {

namespace {

constexpr int kLimiteMatricielle = 15600;
constexpr int kLimiteAutre = 10800;
constexpr int kHauteurLigne = 240;
// The page total (a blank line, the total, a blank line) and the grand total.
constexpr int kLignesDeFin = 4;
// The widest line of the statement: the date line with a three-digit page number.
int caracteresLigneLaPlusLarge() {
    return int(ligneDatePage(QStringLiteral("00/00/0000"), 999).size());
}
namespace detail = orv::attr::detailchgpartemp;
constexpr int kAttributRegul = detail::Regularisation;
constexpr int kPremiereCotisation = detail::PremiereCotisation;
constexpr int kDerniereCotisation = detail::DerniereCotisation;
constexpr int kAttributAjout = detail::AjoutPremiereCotisation;
constexpr int kColonneRegul = 9;
constexpr int kColonneTotal = 10;

const QString kPrefixeSansPrefixe = QStringLiteral("000");

QString dateDuJour() {
    const QDate d = orv::today();
    return orv::OutilsCommuns::JourVersDate(
        orv::OutilsCommuns::dayNumber(d.year(), d.month(), d.day()));
}

}  // namespace

ReleveDnt::ReleveDnt(dba::Database& database, orv::Printer& printer)
    : database_(database), printer_(printer) {}

int ReleveDnt::limitePage(const QString& deviceName) {
    return orv::isMatrixPrinter(deviceName) ? kLimiteMatricielle : kLimiteAutre;
}

QString ReleveDnt::ConcatAdresse(const dba::Record& record, int first) {
    QString adresse;
    for (int a = first; a < first + 3; ++a) {
        const QString part = record.get(a);
        if (!part.isEmpty()) adresse += part + QLatin1Char(' ');
    }
    adresse += record.get(first + 3);
    return adresse;
}

void ReleveDnt::GestionRequete() {
    civilAide_ = database_.OpenFile(QStringLiteral("CIVILAIDE"));
    detailChgPartemp_ = database_.OpenFile(QStringLiteral("DETAILCHGPARTEMP"));
    eltsPartemp_ = database_.OpenFile(QStringLiteral("ELTSPARTEMP"));

    EntetePage();
    EnteteEntite();
    EnteteCentreUrssaf();
    EnteteTableau();
    totauxPage_.fill(0);
    totauxReport_.fill(0);

    const auto nouvellePage = [this] { NewPage(); };
    orv::PageBreaker rangees(printer_, limitePage(printer_.deviceName()), nouvellePage);
    const QStringList cles = donnees_.selection.firstValues();
    const int lignes = int(cles.size());
    for (int n = 1; n <= lignes; ++n) {
        cleDeclaration_ = cles[n - 1];
        const QString codeAide = cleDeclaration_.left(5);
        civil_ = lireFiche(civilAide_, codeAide);
        elements_ = lireFiche(eltsPartemp_, codeAide);
        detail_ = lireFiche(detailChgPartemp_, cleDeclaration_);
        rangees.keepTogether(kHauteurLigne);
        ContenuTableau();
        if (progression_) progression_(n, lignes);
    }

    // The closing lines (the last page's total and the grand total) stay together on a page
    // that has its heading: when they do not fit, a new page starts as any other.
    orv::PageBreaker fin(printer_, printer_.scaleHeight(), nouvellePage);
    fin.keepTogether(kLignesDeFin * printer_.textHeight());
    ajouterPageAuReport();
    EnteteTotalPage();
    EnteteTotalCumuleListage();

    eltsPartemp_.reset();
    elements_ = dba::Record();
}

void ReleveDnt::ligne(const QString& text) { printer_.print(text, true); }

void ReleveDnt::EntetePage() {
    printer_.setFontName(QStringLiteral("Courier New"));
    printer_.setFontSize(10);
    ligne();
    ligne(ligneDatePage(dateDuJour(), printer_.page()));
    ligne();
    printer_.setFontBold(true);
    ligne(ligneTitre(donnees_.trimestre));
    printer_.setFontBold(false);
}

void ReleveDnt::EnteteBloc(const QString& libelle, const dba::Record& record) {
    ligne();
    printer_.setFontBold(false);
    ligne(libelle + record.get(orv::attr::association::Sigle));
    const QString retrait(kLargeurLibelle, QLatin1Char(' '));
    const QString adresse = ConcatAdresse(record, orv::attr::association::Adresse1);
    if (!adresse.isEmpty()) ligne(retrait + adresse);
    const QString complement = record.get(orv::attr::association::Complement);
    if (!complement.isEmpty()) ligne(retrait + complement);
    const QString ville = record.get(orv::attr::association::CodePostal) + QLatin1Char(' ') +
                          record.get(orv::attr::association::Ville);
    if (ville != QStringLiteral(" ")) ligne(retrait + ville);
}

void ReleveDnt::EnteteEntite() {
    EnteteBloc(QStringLiteral("Entité juridique : "), donnees_.entite);
}

void ReleveDnt::EnteteCentreUrssaf() {
    EnteteBloc(QStringLiteral("Centre URSSAF    : "), donnees_.centre);
}

void ReleveDnt::EnteteTableau() {
    ligne();
    ligne(kEnteteColonnes1);
    ligne(kEnteteColonnes2);
    ligne();
}

void ReleveDnt::ContenuTableau() {
    const QString numero =
        orv::OutilsCommuns::ConvertirNumero(elements_.get(orv::attr::eltspartemp::Affiliation));
    QString affiliation = numero;
    const QString prefixe = donnees_.centre.get(orv::attr::centreurssaf::PrefixeAffiliation);
    // Without a number there is nothing to prefix: the column stays blank.
    if (!numero.isEmpty() && prefixe != kPrefixeSansPrefixe) affiliation = prefixe + numero;
    affiliation = affiliation.left(kLargeurAffiliation);
    // Cut to the column as a reader counts: accents composed first.
    const QString nom = orv::composee(civil_.get(orv::attr::civilaide::Nom) + QLatin1Char(' ') +
                                      civil_.get(orv::attr::civilaide::Prenom))
                            .left(kLargeurNom);

    // Attribute 17 is added into attribute 6 before printing (in memory only).
    const QString ajout = detail_.get(kAttributAjout);
    if (!ajout.isEmpty()) {
        const QString base = detail_.get(kPremiereCotisation);
        qint64 somme = montant(ajout, kAttributAjout);
        if (!base.isEmpty()) cumuler(somme, montant(base, kPremiereCotisation));
        detail_.put(kPremiereCotisation, QString::number(somme));
    }

    // Every contribution keeps its own column: an empty one prints blank and counts 0.
    QList<Cellule> cellules;
    qint64 totalLigne = 0;
    int derniereRemplie = kPremiereCotisation - 1;
    for (int i = kPremiereCotisation; i <= kDerniereCotisation; ++i)
        if (!detail_.get(i).isEmpty()) derniereRemplie = i;
    for (int i = kPremiereCotisation; i <= kDerniereCotisation; ++i) {
        const QString valeur = detail_.get(i);
        if (valeur.isEmpty() && i < derniereRemplie)
            noter(QStringLiteral("Déclaration %1 : la cotisation de l'attribut %2 est vide ; "
                                 "elle est imprimée en blanc et comptée pour 0.")
                      .arg(cleDeclaration_)
                      .arg(i));
        const qint64 m = valeur.isEmpty() ? 0 : montant(valeur, i);
        cellules << Cellule{valeur.isEmpty() ? QString() : QString::number(m), kLargeurColonne};
        cumuler(totauxPage_[i - kPremiereCotisation + 1], m);
        cumuler(totalLigne, m);
    }

    // An empty regularisation is no regularisation.
    const QString texteRegul = detail_.get(kAttributRegul);
    const qint64 regul = texteRegul.isEmpty() ? 0 : montant(texteRegul, kAttributRegul);
    cellules << Cellule{celluleRegul(regul, 0).trimmed(), kLargeurRegulTotal};
    cumuler(totauxPage_[kColonneRegul], regul);

    cumuler(totalLigne, -regul);
    cellules << Cellule{QString::number(totalLigne), kLargeurRegulTotal};
    cumuler(totauxPage_[kColonneTotal], totalLigne);
    ligne(ligneMontants(debutLigne(cleDeclaration_.left(5), affiliation, nom), cellules));
}

int ReleveDnt::caracteresParLigne() const {
    const double largeur = printer_.textWidth(QStringLiteral("0"));
    return largeur > 0 ? int(printer_.scaleWidth() / largeur) : std::numeric_limits<int>::max();
}

double ReleveDnt::largeurLigne() {
    printer_.setFontName(QStringLiteral("Courier New"));
    printer_.setFontSize(10);
    return printer_.textWidth(QString(caracteresLigneLaPlusLarge(), QLatin1Char('0')));
}

QString ReleveDnt::ligneMontants(const QString& debut, QList<Cellule> cellules) {
    // A figure wider than its column is never cut: the columns left of it give up their spare
    // blanks so that the line stays inside the page, and the row is reported.
    int longueur = debut.size();
    bool deborde = false;
    for (const Cellule& c : cellules) {
        longueur += qMax(c.largeur, int(c.texte.size()) + 1);
        deborde |= c.texte.size() + 1 > c.largeur;
    }
    if (!deborde) {
        QString texte = debut;
        for (const Cellule& c : cellules) texte += colonne(c.texte, c.largeur);
        return texte;
    }
    noter(QStringLiteral("Déclaration %1 : un montant est plus large que sa colonne ; les "
                         "colonnes de la ligne sont resserrées pour qu'aucun chiffre ne soit "
                         "coupé.")
              .arg(cleDeclaration_));
    int exces = longueur - caracteresParLigne();
    for (int k = cellules.size() - 1; k >= 0 && exces > 0; --k) {
        Cellule& c = cellules[k];
        const int reprise = qMin(exces, c.largeur - int(c.texte.size()) - 1);
        if (reprise > 0) {
            c.largeur -= reprise;
            exces -= reprise;
        }
    }
    QString texte = debut;
    for (const Cellule& c : cellules) texte += colonne(c.texte, c.largeur);
    return texte;
}

void ReleveDnt::ajouterPageAuReport() {
    for (int i = 1; i <= kColonneTotal; ++i) cumuler(totauxReport_[i], totauxPage_[i]);
}

void ReleveDnt::NewPage() {
    ajouterPageAuReport();
    EnteteTotalPage();
    totauxPage_.fill(0);
    printer_.newPage();
    EntetePage();
    EnteteEntite();
    EnteteCentreUrssaf();
    EnteteTableau();
    EnteteTotalReport();
}

void ReleveDnt::EnteteTotalPage() {
    ligne();
    printer_.setFontBold(false);
    ligne(ligneTotal(kLibelleTotalPage, totauxPage_));
    ligne();
}

void ReleveDnt::EnteteTotalReport() {
    printer_.setFontSize(10);
    printer_.setFontBold(false);
    ligne(ligneTotal(kLibelleReport, totauxReport_));
    ligne();
}

void ReleveDnt::EnteteTotalCumuleListage() {
    printer_.setFontSize(10);
    printer_.setFontBold(false);
    ligne(ligneTotal(kLibelleTotalGeneral, totauxReport_));
}

dba::Record ReleveDnt::lireFiche(const std::shared_ptr<dba::File>& file, const QString& key) {
    try {
        return file->Read(key);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
    }
    noter(QStringLiteral("Déclaration %1 : la fiche %2 du fichier %3 est introuvable ; "
                         "la ligne est imprimée sans elle.")
              .arg(cleDeclaration_, key, file->name()));
    return dba::Record();
}

qint64 ReleveDnt::montant(const QString& text, int attribute) {
    if (const auto value = lireMontant(text)) return *value;
    noter(QStringLiteral("Déclaration %1 : le montant « %2 » (attribut %3) n'est pas un nombre "
                         "entier ; il est compté pour 0.")
              .arg(cleDeclaration_, text)
              .arg(attribute));
    return 0;
}

void ReleveDnt::cumuler(qint64& total, qint64 value) {
    if (!__builtin_add_overflow(total, value, &total)) return;
    total = value > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    noter(QStringLiteral("Déclaration %1 : un total dépasse la capacité de calcul ; "
                         "les totaux imprimés à partir de cette ligne sont faux.")
              .arg(cleDeclaration_));
}

void ReleveDnt::noter(const QString& note) {
    if (anomaliesVues_.contains(note)) return;
    anomaliesVues_.insert(note);
    anomalies_.append(note);
}

}  // namespace declartrim
