#include "controls/declartrim/releve_lignes.h"

#include "routines/texte_compose.h"

namespace declartrim {

const QString kEnteteColonnes1 = QStringLiteral(
    "Code  Numéro affiliation       Nom Prenom                  S.s     S.s    CSG   CRDS   "
    "Form.  Ret.   ASSE-  Prév.  Régul.  Total");
const QString kEnteteColonnes2 = QStringLiteral(
    "aidé       URSSAF                                          N.Exo   Exo                 "
    "prof.  IRCEM   DIC   IRCEM");

namespace {

constexpr int kLargeurDateBlancs = 105;
constexpr int kRetraitTitre = 30;
constexpr int kRetraitTotal = 34;
constexpr int kFinPremiereColonne = 64;
// Amounts up to 15 digits: ten columns of a million rows still add up inside 64 bits.
constexpr int kChiffresMontant = 15;

QString blancs(int n) { return QString(qMax(n, 0), QLatin1Char(' ')); }

}  // namespace

QString colonne(const QString& text, int width) {
    const QString t = orv::composee(text);
    return blancs(qMax(width - t.size(), 1)) + t;
}

QString aGauche(const QString& text, int width) {
    const QString t = orv::composee(text);
    return t + blancs(width - t.size());
}

std::optional<qint64> lireMontant(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    int start = (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) ? 1 : 0;
    if (start == t.size()) return std::nullopt;
    if (t.size() - start > kChiffresMontant) return std::nullopt;
    for (int i = start; i < t.size(); ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString ligneDatePage(const QString& date, int page) {
    return QStringLiteral("Date : ") + date + blancs(kLargeurDateBlancs) +
           QStringLiteral("Page : ") + QString::number(page);
}

QString ligneTitre(const QString& trimestre) {
    return blancs(kRetraitTitre) +
           QStringLiteral("RELEVE DES DECLARATIONS NOMINATIVES TRIMESTRIELLES DU ") + trimestre;
}

QString celluleRegul(qint64 regul, int width) {
    // The column shows the amount taken off the row: a minus sign before the stored amount.
    // A negative regularisation (a credit) shows without sign, as the minus of a minus.
    if (regul == 0) return colonne(QStringLiteral("0"), width);
    const QString chiffres = QString::number(regul);
    return colonne(regul < 0 ? chiffres.mid(1) : QLatin1Char('-') + chiffres, width);
}

QString ligneTotal(const QString& libelle, const Totaux& totaux) {
    QString line = blancs(kRetraitTotal) + libelle;
    line += colonne(QString::number(totaux[1]), kFinPremiereColonne - line.size());
    for (int i = 2; i <= 8; ++i) line += colonne(QString::number(totaux[i]), kLargeurColonne);
    line += celluleRegul(totaux[9], kLargeurRegulTotal);
    line += colonne(QString::number(totaux[10]), kLargeurRegulTotal);
    return line;
}

QString debutLigne(const QString& codeAide, const QString& affiliation, const QString& nom) {
    return codeAide + QLatin1Char(' ') + aGauche(affiliation, kLargeurAffiliation) +
           QLatin1Char(' ') + aGauche(nom, kLargeurNom);
}

}  // namespace declartrim
