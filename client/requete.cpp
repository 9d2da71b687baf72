#include "client/requete.h"

namespace orv {

QString valeurRequete(const QString& valeur) {
    for (const QChar delimiteur : {QLatin1Char('"'), QLatin1Char('\''), QLatin1Char('\\')})
        if (!valeur.contains(delimiteur)) return delimiteur + valeur + delimiteur;
    QString doublee = valeur;
    doublee.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doublee + QLatin1Char('"');
}

}  // namespace orv
