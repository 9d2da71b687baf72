#include "controls/soldeconges/nombre_conges.h"

#include <QRegularExpression>

namespace soldeconges {

namespace {

std::int64_t divisionVersLeBas(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

std::optional<Nombre> Nombre::lire(const QString& texte) {
    static const QRegularExpression forme(QStringLiteral("^([+-]?)(\\d{1,12})(?:[.,](\\d*))?$"));
    const auto m = forme.match(texte.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    std::int64_t unites = m.captured(2).toLongLong() * kEchelle;
    const QString decimales = m.captured(3).left(6).leftJustified(6, QLatin1Char('0'));
    unites += decimales.toLongLong();
    return Nombre(m.captured(1) == QLatin1String("-") ? -unites : unites);
}

Nombre Nombre::lireOuZero(const QString& texte) { return lire(texte).value_or(Nombre()); }

Nombre Nombre::partieEntiere() const {
    return Nombre(divisionVersLeBas(unites_, kEchelle) * kEchelle);
}

QString Nombre::texte() const {
    const std::int64_t absolu = unites_ < 0 ? -unites_ : unites_;
    QString t = QString::number(absolu / kEchelle);
    QString decimales = QString::number(absolu % kEchelle).rightJustified(6, QLatin1Char('0'));
    while (decimales.endsWith(QLatin1Char('0'))) decimales.chop(1);
    if (!decimales.isEmpty()) t += QLatin1Char(',') + decimales;
    return unites_ < 0 ? QLatin1Char('-') + t : t;
}

std::int64_t arrondiPair(std::int64_t numerateur, std::int64_t denominateur) {
    const std::int64_t q = divisionVersLeBas(numerateur, denominateur);
    const std::int64_t reste2 = 2 * (numerateur - q * denominateur);  // 0 <= reste2 < 2 * den
    if (reste2 > denominateur) return q + 1;
    if (reste2 < denominateur) return q;
    return (q % 2 == 0) ? q : q + 1;
}

}  // namespace soldeconges
