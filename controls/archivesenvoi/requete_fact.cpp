#include "controls/archivesenvoi/requete_fact.h"

#include <pwd.h>
#include <unistd.h>

#include <QRegularExpression>
#include <QStringList>

#include "client/requete.h"
#include "engine/collation.h"

namespace archivesenvoi {

namespace {

// " AND AVEC <item> <operator> "<value>""
QString condition(const QString& item, const QString& operateur, const QString& valeur) {
    return QStringLiteral(" AND AVEC ") + item + QLatin1Char(' ') + operateur + QLatin1Char(' ') +
           orv::valeurRequete(valeur);
}

// The helper's names then the key end every sort, so that the order is total.
const QString kFinTri = QStringLiteral(" PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID");

// Per sort option, in the order of Tri: its name in the request record and the sort keys that
// come before the names.
struct OptionTri {
    const char* nom;
    const char* cles;
};
constexpr OptionTri kTris[] = {{"", nullptr},
                               {"Alpha", ""},
                               {"Resp", " PAR CodeRespArcFact"},
                               {"Sect", " PAR CodeSectArcFact"},
                               {"NumFact", " PAR NumFactArcFact"},
                               {"Comm", " PAR LibComArcFact"}};

const OptionTri& optionTri(Tri tri) { return kTris[static_cast<int>(tri)]; }

QString clauseTri(Tri tri) {
    const char* cles = optionTri(tri).cles;
    return cles ? QString::fromUtf8(cles) + kFinTri : QString();
}

}  // namespace

QString periode(const QString& annee, int indexMois) {
    return annee + QStringLiteral("%1").arg(indexMois + 1, 2, 10, QLatin1Char('0'));
}

QString codeActivite(Activite activite) {
    static const char* const codes[] = {"", "P", "M", "I"};
    return QString::fromLatin1(codes[static_cast<int>(activite)]);
}

QString instructionArchives(const Criteres& c) {
    QString s =
        QStringLiteral("SSELECT ARCHIVEFACT AVEC AssocArcFact = ") + orv::valeurRequete(c.entite);
    s += condition(QStringLiteral("PeriodeArcFact"), QStringLiteral(">="), c.periodeDeb);
    s += condition(QStringLiteral("PeriodeArcFact"), QStringLiteral("<="), c.periodeFin);
    if (c.activite != Activite::Aucune)
        s += condition(QStringLiteral("ActiviteArcFact"), QStringLiteral("="),
                       codeActivite(c.activite));
    // An empty code selects every invoice that has a responsible (or a sector).
    const QString qui = c.selection == Selection::Resp ? QStringLiteral("CodeRespArcFact")
                                                       : QStringLiteral("CodeSectArcFact");
    s += c.code.isEmpty() ? condition(qui, QStringLiteral("<>"), QString())
                          : condition(qui, QStringLiteral("="), c.code);
    // "]" makes each bound a begins-with value: an end bound MAR covers MARTIN.
    const QString borne = c.bornage == Bornage::Aide ? QStringLiteral("NomAideArcFact")
                                                     : QStringLiteral("NumFactArcFact");
    s += condition(borne, QStringLiteral(">="), c.borneDeb + QLatin1Char(']'));
    s += condition(borne, QStringLiteral("<="), c.borneFin + QLatin1Char(']'));
    if (c.triAdresse) s += QStringLiteral(" PAR ComAdrArcFact PAR NomAdrArcFact");
    s += clauseTri(c.tri);
    return s;
}

dba::Record requeteArchives(const Criteres& c) {
    return dba::queryRequest(instructionArchives(c), QStringLiteral("ARCHIVEFACT"), {0});
}

QString cleRequeteFact(const QString& utilisateur) {
    return QStringLiteral("REQUETEFACT") + utilisateur;
}

QString cleArchiveFact(const QString& utilisateur) {
    return QStringLiteral("ARCHIVEFACT") + utilisateur;
}

void remplirRequeteFact(dba::Record& requete, const Criteres& c) {
    const auto mettre = [&requete](int valeur, const QString& texte) {
        requete.put(1, valeur, texte);
    };
    mettre(1, c.entite);
    mettre(2, c.periodeFin);
    if (c.activite != Activite::Aucune) mettre(3, codeActivite(c.activite));
    if (c.selection != Selection::Aucune)
        mettre(4, c.selection == Selection::Resp ? QStringLiteral("Resp") : QStringLiteral("Sect"));
    mettre(5, c.code);
    if (c.bornage != Bornage::Aucun)
        mettre(6, c.bornage == Bornage::Aide ? QStringLiteral("Aide") : QStringLiteral("NumFact"));
    mettre(7, c.borneDeb);
    mettre(8, c.borneFin);
    mettre(9, c.triAdresse ? QStringLiteral("1") : QStringLiteral("0"));
    if (c.tri != Tri::Aucun) mettre(10, QString::fromLatin1(optionTri(c.tri).nom));
}

QString NomUtilisateur() {
    QString nom = qEnvironmentVariable("USER");
    if (nom.isEmpty())
        if (const passwd* entree = getpwuid(geteuid()))
            nom = QString::fromLocal8Bit(entree->pw_name);
    return nom.toUpper();
}

std::optional<QString> controlePeriodes(const QString& anneeDeb, int indexMoisDeb,
                                        const QString& anneeFin, int indexMoisFin) {
    const QString deb = anneeDeb.trimmed();
    const QString fin = anneeFin.trimmed();
    if (deb.isEmpty() || fin.isEmpty()) return kMsgPeriodesVides;
    static const QRegularExpression annee(QStringLiteral("^[0-9]{4}$"));
    if (!annee.match(deb).hasMatch() || !annee.match(fin).hasMatch())
        return kMsgAnneesQuatreChiffres;
    if (deb > fin || (deb == fin && indexMoisFin < indexMoisDeb)) return kMsgPeriodesOrdre;
    return std::nullopt;
}

std::optional<QString> controleBornes(const QString& borneDeb, const QString& borneFin) {
    if (orv::collation::compare(borneDeb.toStdString(), borneFin.toStdString()) > 0)
        return kMsgBornesOrdre;
    return std::nullopt;
}

}  // namespace archivesenvoi
