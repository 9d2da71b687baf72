// The utility object of the data-access component: date conversions, typed-date normalisation,
// amount formatting, affiliation-number conversion, and the printer-choice and copies dialogs
// (provided by the desktop platform through OutilsDialogues).
#pragma once

#include <QString>

namespace orv {

// The visual half of the utility object, installed by the desktop platform.
class OutilsDialogues {
  public:
    virtual ~OutilsDialogues() = default;
    virtual QString choixImprimante(const QString& paper) = 0;
    virtual short nombreExemplaires() = 0;
};

class OutilsCommuns {
  public:
    // Day 0 is 31 December 1967: 1 January 2000 is day 11689.
    static QString JourVersDate(long day);
    static QString JourVersDate(const QString& day);
    // Empty when the text is not a valid dd/mm/yyyy date (one-digit day and month accepted).
    static QString DateVersJour(const QString& date);
    // Typed dates (1/2/05, 010205, 01022005, 1-2-2005) become dd/mm/yyyy; the flag is set to
    // True (-1) when the text cannot be a date, and the text is then returned unchanged.
    static QString NormaliserDate(const QString& typed, short& flag);
    // Leaves the flag as NormaliserDate set it: True (-1) when the typed date cannot be used.
    static void ErreurDate(short& flag);

    // Amount text with the decimal comma and `decimals` digits ("12,50"); reads back as the
    // same amount. An empty or non-numeric text gives an empty result.
    static QString FormaterMontant(const QString& amount, int integerDigits, int decimals,
                                   int options);
    // FormaterZone, which formats a text box, is the platform's (platform/input.h).
    // Reads an amount written with a comma or a point; ok is false when it is not a number.
    static double LireMontant(const QString& text, bool* ok = nullptr);

    // Affiliation numbers are printed as stored, without surrounding blanks.
    static QString ConvertirNumero(const QString& number);

    static QString ChoixImprimante(const QString& paper);
    static short NombreExemplaires();
    static void installDialogues(OutilsDialogues* dialogs);

    static long dayNumber(int year, int month, int day);
};

}  // namespace orv
