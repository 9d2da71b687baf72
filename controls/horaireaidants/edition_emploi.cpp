#include "controls/horaireaidants/edition_emploi.h"

#include <QDate>

#include "client/clock.h"
#include "client/marks.h"
#include "client/outils_communs.h"
#include "engine/attribute_list.h"
#include "platform/print_job.h"
#include "platform/printer.h"
#include "routines/emploi_du_temps.h"
#include "routines/texte_compose.h"

namespace horaireaidants {

namespace {

const QString kFin = QStringLiteral("FIN");
const QString kVide = QStringLiteral("VIDE");
const QChar kDiese = QLatin1Char('#');
const QChar kLivre = QChar(0x00A3);   // £
const QChar kSoleil = QChar(0x00A4);  // ¤
const QString kVerdana = QStringLiteral("Verdana");

constexpr int kLargeurImprimee = 130;
constexpr int kXMarques = 6580;
constexpr int kXSuite = 6960;

QString sp(int n) { return QString(n, QLatin1Char(' ')); }
// Characters `from` to `to` (counted from 1) of a text.
QString car(const QString& t, int from, int to) { return t.mid(from - 1, to - from + 1); }
QChar carAt(const QString& t, int position) {
    return position <= t.size() ? t.at(position - 1) : QLatin1Char(' ');
}
bool blanc(const QString& t) { return t.trimmed().isEmpty(); }

// The record's lines, split in one pass.
std::vector<orv::DynArray> lignesDe(const dba::Record& emploi) {
    std::vector<orv::DynArray> lignes;
    for (std::string_view a : orv::splitAttributes(emploi.array().text()))
        lignes.emplace_back(std::string(a));
    return lignes;
}

// The lines joined back into the record's text, byte for byte.
std::string texteDe(const std::vector<orv::DynArray>& lignes) {
    return orv::joinAttributes(
        lignes, [](const orv::DynArray& l) -> const std::string& { return l.text(); });
}

}  // namespace

EditionEmploiTemps::EditionEmploiTemps(dba::Database& database, orv::Printer& printer)
    : database_(database), printer_(printer) {
    civilAidant_ = database_.OpenFile(QStringLiteral("CIVILAIDANT"));
    civilAide_ = database_.OpenFile(QStringLiteral("CIVILAIDE"));
}

EditionEmploiTemps::~EditionEmploiTemps() = default;

void EditionEmploiTemps::setParametres(ParametresEdition parametres) {
    p_ = std::move(parametres);
    p_.aidantAide = orv::genrePersonnes(p_.aidantAide);
}

bool EditionEmploiTemps::aucunEmploi(const dba::Record& emploi) {
    return emploi.get(1) == kVide || emploi.get(2) == kFin;
}

int EditionEmploiTemps::nombreLignes(const dba::Record& emploi) {
    const std::vector<std::string_view> lignes = orv::splitAttributes(emploi.array().text());
    int n = 0;
    for (size_t k = 1; k < lignes.size() && lignes[k] != "FIN"; ++k) ++n;
    return n;
}

QString EditionEmploiTemps::ligne(int k) const {
    return k >= 1 && k <= nombreAttributs() ? orv::toQString(lignes_[size_t(k - 1)].text())
                                            : QString();
}

QString EditionEmploiTemps::valeur1(int k) const {
    return k >= 1 && k <= nombreAttributs() ? orv::toQString(lignes_[size_t(k - 1)].extract(1, 1))
                                            : QString();
}

void EditionEmploiTemps::supprimerValeur1(int k) {
    if (k < 1 || k > nombreAttributs()) return;
    lignes_[size_t(k - 1)].remove(1, 1);
    lignesModifiees_ = true;
}

void EditionEmploiTemps::courier(double taille, bool gras) {
    printer_.setFontName(QStringLiteral("Courier New"));
    printer_.setFontSize(taille);
    printer_.setFontBold(gras);
}

void EditionEmploiTemps::imprimer(dba::Record& emploi) {
    lignes_ = lignesDe(emploi);
    lignesModifiees_ = false;
    NumPage = 0;
    NbLignes = 1;
    k_ = 2;
    nouvellePage_ = false;
    nomRetenu_.clear();
    // A line that would not fit under the table's heading starts a new page with its heading.
    coupure_ = std::make_unique<orv::PageBreaker>(printer_, printer_.scaleHeight(),
                                                  [this] { sautDePage(); });
    ImpressionEntete(k_);
    EnteteTableau();
    int imprimees = 0;
    for (;;) {
        if (valeur1(k_).startsWith(kDiese)) supprimerValeur1(k_);
        const QString l = ligneImprimee(k_);
        if (!l.isEmpty() && l.at(0) != QLatin1Char(' ')) nomRetenu_ = car(l, 26, 56).trimmed();
        // A line that does not fit starts a new page; the remembered name printed above a
        // continuation line there has the room of a whole page.
        coupure_->keepTogether(printer_.textHeight());
        if (blanc(car(l, 1, 25)) && nouvellePage_) imprimerNomRetenu();
        imprimerLigne(l);
        nouvellePage_ = false;
        ++NbLignes;
        ++k_;
        if (progression_) progression_(++imprimees);
        if (sautNecessaire()) sautDePage();
        if (ligne(k_) == kFin || (ligne(k_ + 1) == kFin && blanc(ligne(k_)))) break;
        // A record cut short (no "FIN") ends with its last line.
        if (k_ > nombreAttributs()) break;
    }
    BasTableau = printer_.currentY();
    EditionFinTableau();
    coupure_.reset();
    if (lignesModifiees_) emploi.array().setText(texteDe(lignes_));
    lignes_.clear();
}

QString EditionEmploiTemps::ligneImprimee(int k) const {
    // Columns count what a reader sees: an accent stored decomposed takes one column.
    const QString l = orv::composee(ligne(k));
    if (!emploiAide()) return l;
    // A client's timetable has no address column.
    return l.left(57).leftJustified(57) + sp(26) + car(l, 84, 128);
}

bool EditionEmploiTemps::sautNecessaire() const {
    const QString l = ligne(k_);
    if (l == kFin) return false;
    if (NbLignes >= kLignesParPage + 1 && !l.isEmpty() && ligne(k_ + 1) != kFin) return true;
    // A new person: only a person line ("#" + code) names one.
    if (p_.aidantAide.isEmpty()) return false;
    const QString v1 = valeur1(k_);
    const QString code = car(v1, 2, 6);
    const QString courant = p_.codeAide.isEmpty() ? p_.codAidant : p_.codeAide;
    return v1.startsWith(kDiese) && !blanc(code) && code != courant;
}

void EditionEmploiTemps::sautDePage() {
    BasTableau = printer_.currentY();
    EditionFinTableau();
    printer_.newPage();
    ImpressionEntete(k_);
    EnteteTableau();
    nouvellePage_ = true;
    NbLignes = 1;
}

void EditionEmploiTemps::imprimerNomRetenu() {
    if (carAt(nomRetenu_, 30) != kLivre && carAt(nomRetenu_, 31) != kSoleil) {
        printer_.print(sp(26) + nomRetenu_);
        return;
    }
    imprimerMarques(sp(26) + nomRetenu_.left(28).leftJustified(28), carAt(nomRetenu_, 30),
                    carAt(nomRetenu_, 31), nullptr);
}

void EditionEmploiTemps::imprimerLigne(const QString& l) {
    if (carAt(l, 55) != kLivre && carAt(l, 56) != kSoleil) {
        printer_.print(QLatin1Char(' ') + l.left(kLargeurImprimee));
        return;
    }
    const QString suite = car(l, 58, kLargeurImprimee);
    imprimerMarques(QLatin1Char(' ') + l.left(53).leftJustified(53), carAt(l, 55), carAt(l, 56),
                    &suite);
}

void EditionEmploiTemps::imprimerMarques(const QString& debut, QChar marque1, QChar marque2,
                                         const QString* suite) {
    printer_.print(debut, false);
    printer_.setFontName(kVerdana);
    printer_.setCurrentX(kXMarques);
    printer_.setFontSize(9);
    printer_.print(QString(marque1), false);
    printer_.setFontSize(6);
    printer_.print(QStringLiteral(" "), false);
    printer_.setFontSize(9);
    printer_.print(QString(marque2) + QLatin1Char(' '), false);
    if (suite) printer_.setCurrentX(kXSuite);
    // Back to Courier New 10 before the line ends, so every line has the same height.
    courier();
    printer_.print(suite ? *suite : QString());
}

dba::Record EditionEmploiTemps::lirePersonne() {
    const bool aide = emploiAide();
    const auto& fichier = aide ? civilAide_ : civilAidant_;
    try {
        return fichier->Read(aide ? p_.codeAide : p_.codAidant);
    } catch (const dba::Error& e) {
        // A person removed since the timetable was built: the heading shows the code alone.
        if (e.number() != dba::kRecordNotFound) throw;
        return dba::Record();
    }
}

void EditionEmploiTemps::ImpressionEntete(int& i) {
    const QString v1 = valeur1(i);
    if (v1.startsWith(kDiese)) {
        if (p_.aidantAide == QLatin1String("AIDE")) p_.codeAide = car(v1, 2, 6);
        if (p_.aidantAide == QLatin1String("AIDANT")) p_.codAidant = car(v1, 2, 6);
        if (p_.aidantAide == QLatin1String("AIDE") || p_.aidantAide == QLatin1String("AIDANT"))
            supprimerValeur1(i);
    }
    const bool aide = emploiAide();
    const dba::Record personne = lirePersonne();
    const int retrait = aide ? 9 : 11;

    printer_.setFontUnderline(false);
    courier();
    ++NumPage;
    printer_.print();
    const QDate jour = orv::today();
    const QString aujourdhui = orv::OutilsCommuns::JourVersDate(
        orv::OutilsCommuns::dayNumber(jour.year(), jour.month(), jour.day()));
    printer_.print(QStringLiteral("  Date : ") + aujourdhui + sp(104) + QStringLiteral("Page : ") +
                   QString::number(NumPage));
    courier(16, true);
    printer_.print(sp(35) + QStringLiteral("EMPLOI DU TEMPS"));
    printer_.print();
    courier(10, false);

    const QString nom = orv::composee(personne.get(2) + QLatin1Char(' ') + personne.get(3));
    printer_.print(
        QStringLiteral("  ") + (aide ? QStringLiteral("Aidé : ") : QStringLiteral("Aidant : ")) +
            (aide ? p_.codeAide : p_.codAidant) + QLatin1Char(' ') + nom.left(38).leftJustified(39),
        false);
    printer_.print(QStringLiteral("Du ") + orv::OutilsCommuns::JourVersDate(p_.jourDebut) +
                   QStringLiteral(" au ") + orv::OutilsCommuns::JourVersDate(p_.jourFin));
    imprimerAdresse(personne, retrait);

    const QString tel = personne.get(aide ? 14 : 12);
    const QString tel2 = personne.get(aide ? 16 : 14);
    printer_.print(QStringLiteral("  Tel    : ") + tel +
                   (tel2.isEmpty() ? QString() : QStringLiteral(" / ") + tel2));
    printer_.print();
    printer_.print();
}

void EditionEmploiTemps::imprimerAdresse(const dba::Record& personne, int retrait) {
    QString rue;
    for (int a = 5; a <= 7; ++a)
        if (!personne.get(a).isEmpty()) rue += personne.get(a) + QLatin1Char(' ');
    rue += personne.get(8);
    const QString complement = personne.get(9);
    const QString ville = personne.get(10) + QLatin1Char(' ') + personne.get(11);
    const bool avecRue = !personne.get(8).isEmpty();
    QStringList lignes;
    if (avecRue) lignes << rue;
    if (!complement.isEmpty()) lignes << complement;
    lignes << ville;
    // Always three lines, so that the telephone keeps its place.
    for (int n = 0; n < 3; ++n) {
        if (n < lignes.size())
            printer_.print(sp(retrait) + lignes.at(n));
        else
            printer_.print();
    }
}

void EditionEmploiTemps::EnteteTableau() {
    HautTableau = printer_.currentY();
    if (emploiAide()) {
        printer_.print(sp(3) + QStringLiteral("Jour") + sp(7) + QStringLiteral("Horaire") + sp(5) +
                       QStringLiteral("Aidant") + sp(65) + QStringLiteral("Tâches"));
        printer_.print(sp(15) + QStringLiteral("De") + sp(3) + QStringLiteral("A") + sp(5) +
                       QStringLiteral("Code") + sp(3) + QStringLiteral("Nom prénom"));
        return;
    }
    printer_.print(sp(3) + QStringLiteral("Jour") + sp(7) + QStringLiteral("Horaire") + sp(5) +
                   QStringLiteral("Aidé") + sp(67) + QStringLiteral("Tâches"));
    printer_.print(sp(15) + QStringLiteral("De") + sp(3) + QStringLiteral("A") + sp(5) +
                   QStringLiteral("Code") + sp(3) + QStringLiteral("Nom prénom/Tel") + sp(12) +
                   QStringLiteral("Adresse"));
}

void EditionEmploiTemps::EditionFinTableau() {
    const double t = HautTableau;
    const double b = BasTableau;
    const double sousEntete = t + 0.7 * UnCm;
    auto x = [this](double cm) { return cm * UnCm; };
    printer_.setDrawWidth(3);
    for (double y : {t, sousEntete, b}) printer_.line(x(0.1), y, x(28), y);
    for (double cm : {0.1, 2.6, 5.2, 17.6, 28.0}) printer_.line(x(cm), t, x(cm), b);
    printer_.line(x(3.9), sousEntete, x(3.9), b);
}

}  // namespace horaireaidants
