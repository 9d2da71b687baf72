// The lines of the quarterly declaration statement, built as fixed-width text for a
// fixed-pitch font. Every width counts characters, so that a name with accents lines up like
// one without. A value wider than its column is never cut: the line grows instead, so that no
// figure is ever printed wrong.
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace declartrim {

// Totals of the ten columns, indexes 1 to 10 (index 0 unused). Carried in 64 bits: a page or
// a grand total never wraps round.
using Totaux = std::array<qint64, 11>;

// The column header, exactly as printed.
extern const QString kEnteteColonnes1;
extern const QString kEnteteColonnes2;

// Column widths, in characters: an amount column, the regularisation and total columns, the
// affiliation number and the name.
inline constexpr int kLargeurColonne = 7;
inline constexpr int kLargeurRegulTotal = 8;
inline constexpr int kLargeurAffiliation = 24;
inline constexpr int kLargeurNom = 26;

// Width of the captions of the entity and centre blocks; the address lines are indented by it.
inline constexpr int kLargeurLibelle = 19;

// A column of `width` characters ending with `text`: at least one blank before it, so that a
// value wider than its column shifts the line rather than running into its neighbour.
QString colonne(const QString& text, int width);
// `text` followed by blanks up to `width` characters (never cut).
QString aGauche(const QString& text, int width);

// Reads an amount stored as decimal text: optional sign, digits, surrounding blanks allowed.
// No value for anything else (an empty text included) or for more than 15 digits.
std::optional<qint64> lireMontant(const QString& text);

// "Date : <date><105 blanks>Page : <page>".
QString ligneDatePage(const QString& date, int page);
// 30 blanks, the title and the quarter label.
QString ligneTitre(const QString& trimestre);

// The regularisation as the "Régul." column shows it (colonne): the amount with a leading minus
// sign, or "0" when there is none.
QString celluleRegul(qint64 regul, int width);

// A total line: 34 blanks and the caption, c1 ending at position 64, c2 to c8 in 7
// characters, the regularisation and the total in 8.
QString ligneTotal(const QString& libelle, const Totaux& totaux);
inline const QString kLibelleTotalPage = QStringLiteral("Total de la page");
inline const QString kLibelleReport = QStringLiteral("Report");
inline const QString kLibelleTotalGeneral = QStringLiteral("Total général");

// Head of a row: helper code and a blank, the affiliation number in 24 characters and a blank,
// the name in 26 characters (positions 1 to 57 for a five-character code).
QString debutLigne(const QString& codeAide, const QString& affiliation, const QString& nom);

}  // namespace declartrim
