#include "controls/declartrim/releve_dnt.h"

#include "client/clock.h"
#include "client/outils_communs.h"
#include "platform/printer.h"

namespace declartrim {

namespace {

constexpr int kLimiteMatricielle = 15600;
constexpr int kLimiteAutre = 10800;
constexpr int kHauteurLigne = 240;
constexpr int kAttributRegul = 5;
constexpr int kPremiereCotisation = 6;
constexpr int kDerniereCotisation = 13;
constexpr int kAttributAjout = 17;
constexpr int kColonneRegul = 9;
constexpr int kColonneTotal = 10;

const QString kPrefixeSansPrefixe = QStringLiteral("000");
const QString kCaractereMatricielle = QStringLiteral("MATRIC");

QString dateDuJour() {
    const QDate d = orv::today();
    return orv::OutilsCommuns::JourVersDate(
        orv::OutilsCommuns::dayNumber(d.year(), d.month(), d.day()));
}

}  // namespace

ReleveDnt::ReleveDnt(dba::Database& database, orv::Printer& printer)
    : database_(database), printer_(printer) {}

bool ReleveDnt::estMatricielle(const QString& deviceName) {
    return deviceName.toUpper().contains(kCaractereMatricielle);
}

int ReleveDnt::limitePage(const QString& deviceName) {
    return estMatricielle(deviceName) ? kLimiteMatricielle : kLimiteAutre;
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

    const int limite = limitePage(printer_.deviceName());
    const int lignes = donnees_.selection.DCount();
    for (int n = 1; n <= lignes; ++n) {
        cleDeclaration_ = donnees_.selection.get(n, 1);
        const QString codeAide = cleDeclaration_.left(5);
        civil_ = lireFiche(civilAide_, codeAide);
        elements_ = lireFiche(eltsPartemp_, codeAide);
        detail_ = lireFiche(detailChgPartemp_, cleDeclaration_);
        if (printer_.currentY() + kHauteurLigne >= limite) NewPage();
        ContenuTableau();
        if (progression_) progression_(n, lignes);
    }

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
    ligne(libelle + record.get(1));
    const QString retrait(kLargeurLibelle, QLatin1Char(' '));
    const QString adresse = ConcatAdresse(record, 3);
    if (!adresse.isEmpty()) ligne(retrait + adresse);
    const QString complement = record.get(7);
    if (!complement.isEmpty()) ligne(retrait + complement);
    const QString ville = record.get(8) + QLatin1Char(' ') + record.get(9);
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
    QString affiliation = orv::OutilsCommuns::ConvertirNumero(elements_.get(2));
    const QString prefixe = donnees_.centre.get(16);
    if (prefixe != kPrefixeSansPrefixe) affiliation = prefixe + affiliation;
    affiliation = affiliation.left(kLargeurAffiliation);
    const QString nom = (civil_.get(2) + QLatin1Char(' ') + civil_.get(3)).left(kLargeurNom);
    QString texte = debutLigne(cleDeclaration_.left(5), affiliation, nom);

    // Attribute 17 is added into attribute 6 before printing (in memory only).
    const QString ajout = detail_.get(kAttributAjout);
    if (!ajout.isEmpty()) {
        const QString base = detail_.get(kPremiereCotisation);
        qint64 somme = montant(ajout, kAttributAjout);
        if (!base.isEmpty()) cumuler(somme, montant(base, kPremiereCotisation));
        detail_.put(kPremiereCotisation, QString::number(somme));
    }

    // The contribution columns stop at the first empty attribute after the first one.
    qint64 totalLigne = 0;
    int i = kPremiereCotisation;
    do {
        const QString valeur = detail_.get(i);
        const qint64 m = valeur.isEmpty() ? 0 : montant(valeur, i);
        texte += valeur.isEmpty() ? QString(kLargeurColonne, QLatin1Char(' '))
                                  : colonne(QString::number(m), kLargeurColonne);
        cumuler(totauxPage_[i - kPremiereCotisation + 1], m);
        cumuler(totalLigne, m);
        ++i;
    } while (i <= kDerniereCotisation && !detail_.get(i).isEmpty());

    // An empty regularisation is no regularisation.
    const QString texteRegul = detail_.get(kAttributRegul);
    const qint64 regul = texteRegul.isEmpty() ? 0 : montant(texteRegul, kAttributRegul);
    texte += celluleRegul(regul, kLargeurRegulTotal);
    cumuler(totauxPage_[kColonneRegul], regul);

    cumuler(totalLigne, -regul);
    texte += colonne(QString::number(totalLigne), kLargeurRegulTotal);
    cumuler(totauxPage_[kColonneTotal], totalLigne);
    ligne(texte);
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
