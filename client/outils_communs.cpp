#include "client/outils_communs.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

#include "client/clock.h"
#include "engine/day_number.h"

namespace orv {

namespace {

OutilsDialogues* g_dialogs = nullptr;

}  // namespace

long OutilsCommuns::dayNumber(int year, int month, int day) {
    return QDate::isValid(year, month, day) ? dayFromCivil(year, month, day) : -1;
}

QString OutilsCommuns::JourVersDate(long day) {
    int year = 0, month = 0, date = 0;
    civilFromDay(day, year, month, date);
    return QString::asprintf("%02d/%02d/%04d", date, month, year);
}

QString OutilsCommuns::JourVersDate(const QString& day) {
    bool ok = false;
    const long n = day.trimmed().toLong(&ok);
    return ok ? JourVersDate(n) : QString();
}

QString OutilsCommuns::DateVersJour(const QString& date) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    const auto m = re.match(date.trimmed());
    if (!m.hasMatch()) return {};
    const long n = dayNumber(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return n < 0 ? QString() : QString::number(n);
}

QString OutilsCommuns::NormaliserDate(const QString& typed, short& flag) {
    const QString t = typed.trimmed();
    int d = 0, m = 0, y = 0;
    static const QRegularExpression sep(
        QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2}|\\d{4})$"));
    static const QRegularExpression digits(QStringLiteral("^\\d{6}$|^\\d{8}$"));
    if (auto mm = sep.match(t); mm.hasMatch()) {
        d = mm.captured(1).toInt();
        m = mm.captured(2).toInt();
        y = mm.captured(3).toInt();
        if (mm.captured(3).size() == 2) y += 2000;
    } else if (digits.match(t).hasMatch()) {
        d = t.left(2).toInt();
        m = t.mid(2, 2).toInt();
        y = t.size() == 6 ? 2000 + t.mid(4, 2).toInt() : t.mid(4, 4).toInt();
    } else {
        flag = -1;
        return typed;
    }
    const QDate date(y, m, d);
    if (!date.isValid()) {
        flag = -1;
        return typed;
    }
    flag = 0;
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

void OutilsCommuns::ErreurDate(short& flag) { flag = flag ? -1 : 0; }

double OutilsCommuns::LireMontant(const QString& text, bool* ok) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    t.remove(QLatin1Char(' '));
    bool good = false;
    const double v = t.toDouble(&good);
    if (ok) *ok = good;
    return good ? v : 0.0;
}

QString OutilsCommuns::FormaterMontant(const QString& amount, int, int decimals, int) {
    bool ok = false;
    const double v = LireMontant(amount, &ok);
    if (!ok) return {};
    QString out = QString::number(v, 'f', decimals);
    out.replace(QLatin1Char('.'), QLatin1Char(','));
    return out;
}

QString OutilsCommuns::ConvertirNumero(const QString& number) { return number.trimmed(); }

QString OutilsCommuns::ChoixImprimante(const QString& paper) {
    return g_dialogs ? g_dialogs->choixImprimante(paper) : QStringLiteral("-1");
}

short OutilsCommuns::NombreExemplaires() { return g_dialogs ? g_dialogs->nombreExemplaires() : 1; }

void OutilsCommuns::installDialogues(OutilsDialogues* dialogs) { g_dialogs = dialogs; }

}  // namespace orv
