#include "fixture.h"

#include <QFile>
#include <QJsonDocument>
#include <algorithm>

namespace declartrim::test {

namespace {

void dictionnaire(orv::Database& db, const char* fichier, const char* item, const char* attr,
                  const char* conversion) {
    orv::DynArray r;
    r.replace(1, "D");
    r.replace(2, attr);
    r.replace(3, conversion);
    r.replace(4, item);
    r.replace(5, "10L");
    r.replace(6, "S");
    db.write(std::string("DICT ") + fichier, item, r);
}

}  // namespace

orv::DynArray enregistrement(std::initializer_list<QString> attributs) {
    orv::DynArray r;
    int a = 0;
    for (const QString& v : attributs) r.replace(++a, v.toStdString());
    return r;
}

BaseReleve::BaseReleve(std::initializer_list<const char*> absents) {
    engine = orv::Database::openEmbedded(dir.filePath("releve.orvdb").toStdString());
    for (const char* f :
         {"ASSOCIATION", "CENTREURSSAF", "CIVILAIDE", "ELTSPARTEMP", "DETAILCHGPARTEMP"})
        if (std::find_if(absents.begin(), absents.end(),
                         [&](const char* a) { return qstrcmp(a, f) == 0; }) == absents.end())
            engine->createFile(f);
    dictionnaire(*engine, "DETAILCHGPARTEMP", "CodCtrUrssafDetailChgPartemp", "2", "");
    dictionnaire(*engine, "DETAILCHGPARTEMP", "NomAideDetailChgPartemp", "3", "TCIVILAIDE;X;;2");
    dictionnaire(*engine, "DETAILCHGPARTEMP", "PrenomAideDetailChgPartemp", "3", "TCIVILAIDE;X;;3");
    auto session = std::make_shared<orv::Session>(engine, "TEST");
    database_ = std::make_unique<dba::Database>(session, QStringLiteral("test"));
}

void BaseReleve::ecrire(const char* fichier, const QString& cle,
                        std::initializer_list<QString> attributs) {
    engine->write(fichier, cle.toStdString(), enregistrement(attributs));
}

void BaseReleve::aide(const QString& code, const QString& nom, const QString& prenom,
                      const QString& affiliation) {
    ecrire("CIVILAIDE", code, {QString(), nom, prenom});
    ecrire("ELTSPARTEMP", code, {QString(), affiliation});
}

void BaseReleve::declaration(const QString& code, std::initializer_list<QString> montants6a13,
                             const QString& regul, const QString& ajout17, const QString& entite,
                             const QString& centre, const QString& trimestre) {
    orv::DynArray r;
    r.replace(1, entite.toStdString());
    r.replace(2, centre.toStdString());
    r.replace(3, code.toStdString());
    r.replace(5, regul.toStdString());
    int a = 6;
    for (const QString& m : montants6a13) r.replace(a++, m.toStdString());
    r.replace(17, ajout17.toStdString());
    engine->write("DETAILCHGPARTEMP", (code + entite + centre + trimestre).toStdString(), r);
}

void BaseReleve::declarations(int n) {
    for (int i = 1; i <= n; ++i) {
        const QString code = QString::number(10000 + i);
        aide(code, QStringLiteral("NOM%1").arg(i, 5, 10, QLatin1Char('0')),
             QStringLiteral("Prénom"), QStringLiteral("1234567890%1").arg(i));
        declaration(code, {QString::number(i), "10", "1", "2", "3", "4", "5", "6"}, "1");
    }
}

QStringList Transcription::textes(int page) const {
    QStringList out;
    for (const Ligne& l : lignes)
        if (page == 0 || l.page == page) out << l.text;
    return out;
}

QList<Ligne> Transcription::commencantPar(const QString& debut) const {
    QList<Ligne> out;
    for (const Ligne& l : lignes)
        if (l.text.trimmed().startsWith(debut)) out << l;
    return out;
}

namespace {

// The printer writes nothing for an empty line: it only moves down. The empty lines are put
// back from the gaps between the lines of a page (and above the first), one line height each.
void ajouterLignesVides(Transcription& t) {
    double hauteur = 0;
    for (int i = 1; i < t.lignes.size(); ++i) {
        const double ecart = t.lignes[i].y - t.lignes[i - 1].y;
        if (t.lignes[i].page == t.lignes[i - 1].page && ecart > 0.5)
            hauteur = hauteur == 0 ? ecart : qMin(hauteur, ecart);
    }
    if (hauteur == 0) return;
    QList<Ligne> lignes;
    for (int i = 0; i < t.lignes.size(); ++i) {
        const Ligne& l = t.lignes[i];
        const bool debutPage = i == 0 || t.lignes[i - 1].page != l.page;
        const double depuis = debutPage ? -hauteur : t.lignes[i - 1].y;
        const int vides = qRound((l.y - depuis) / hauteur) - 1;
        for (int k = 0; k < vides; ++k) {
            Ligne vide;
            vide.page = l.page;
            vide.y = depuis + (k + 1) * hauteur;
            lignes << vide;
        }
        lignes << l;
    }
    t.lignes = lignes;
}

}  // namespace

Transcription lireTranscription(const QString& path) {
    Transcription t;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return t;
    Ligne courante;
    bool ouverte = false;
    while (!f.atEnd()) {
        const QJsonObject op = QJsonDocument::fromJson(f.readLine()).object();
        t.ops << op;
        const QString kind = op.value(QStringLiteral("op")).toString();
        if (kind == QStringLiteral("text")) {
            if (!ouverte) {
                courante = Ligne{op.value(QStringLiteral("page")).toInt(),
                                 op.value(QStringLiteral("y")).toDouble(),
                                 op.value(QStringLiteral("bold")).toBool(),
                                 op.value(QStringLiteral("font")).toString(),
                                 op.value(QStringLiteral("size")).toDouble(),
                                 QString()};
                ouverte = true;
            }
            courante.text += op.value(QStringLiteral("text")).toString();
            if (op.value(QStringLiteral("eol")).toBool()) {
                t.lignes << courante;
                ouverte = false;
            }
            t.pages = qMax(t.pages, courante.page);
        } else if (kind == QStringLiteral("end")) {
            t.terminee = true;
        } else if (kind == QStringLiteral("kill") || kind == QStringLiteral("cancel")) {
            t.annulee = true;
        }
    }
    ajouterLignesVides(t);
    return t;
}

}  // namespace declartrim::test
