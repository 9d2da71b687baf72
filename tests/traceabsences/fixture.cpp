#include "fixture.h"

#include <QFile>
#include <QMap>
#include <algorithm>

#include "client/outils_communs.h"
#include "platform/printer.h"

namespace traceabsences::test {

long jour(int annee, int mois, int j) { return orv::OutilsCommuns::dayNumber(annee, mois, j); }

BaseAbsences::BaseAbsences()
    : orv::test::TempDatabase({"ABSENCESAIDANT", "CIVILAIDANT", "COMMUNES", "SECTEUR", "TABLES",
                               "STATAIDANT", "TPSPARAM"}) {
    write("TPSPARAM", "1", orv::test::sparseRecord({{6, "65280"}, {7, "255"}, {23, "16711680"}}));
    write("SECTEUR", "A", {"Secteur Nord"});
    write("SECTEUR", "B", {"Secteur Sud"});
}

void BaseAbsences::aidant(const QString& code, const QString& nom, const QString& prenom,
                          const QString& secteur, const QString& commune, const QString& ref) {
    write(
        "CIVILAIDANT", code,
        orv::test::sparseRecord({{2, nom}, {3, prenom}, {11, commune}, {31, secteur}, {45, ref}}));
}

void BaseAbsences::aidants(int n, dba::Record& requete, long debut, long fin) {
    for (int i = 1; i <= n; ++i) {
        const QString code = QString::number(10000 + i);
        aidant(code, QStringLiteral("NOM%1").arg(i));
        ajouterLigne(requete, cleAbsence(code, 14, debut), "Congés payés", QString::number(fin));
    }
}

QString cleAbsence(const QString& code, int motif, long debut) {
    return code + QStringLiteral("%1").arg(motif, 2, 10, QLatin1Char('0')) + QString::number(debut);
}

void ajouterLigne(dba::Record& requete, const QString& cle, const QString& v2, const QString& v3,
                  const QString& v17) {
    const int i = requete.DCount() + 1;
    requete.put(i, 1, cle);
    requete.put(i, 2, v2);
    requete.put(i, 3, v3);
    if (!v17.isEmpty()) requete.put(i, 17, v17);
}

void ajouterConge(dba::Record& requete, const QString& code, const QString& statut, long debut,
                  long fin) {
    const int i = requete.DCount() + 1;
    requete.put(i, 1, code);
    requete.put(i, 2, QStringLiteral("CP"));
    requete.put(i, 3, statut);
    requete.put(i, 8, QStringLiteral("12"));
    requete.put(i, 9, QStringLiteral("2"));
    requete.put(i, 14, code + QStringLiteral("14") + QString::number(debut) + QString::number(fin));
    requete.put(i, 15, QStringLiteral("5"));
}

QList<QJsonObject> Rendu::ops(int page, const QString& kind) const {
    QList<QJsonObject> out;
    for (const QJsonObject& op : t.ops)
        if (op.value("op").toString() == kind && op.value("page").toInt() == page) out << op;
    return out;
}

QStringList Rendu::textes(int page, double size) const {
    // Pieces of one row share its y; they are joined in the order printed.
    QMap<double, QString> rangs;
    for (const QJsonObject& op : ops(page, "text"))
        if (op.value("size").toDouble() == size)
            rangs[op.value("y").toDouble()] += op.value("text").toString();
    return rangs.values();
}

QStringList Rendu::lignes(int page) const { return textes(page, 9); }

QList<QJsonObject> Rendu::barres(int page) const {
    QList<QJsonObject> out;
    for (const QJsonObject& op : ops(page, "fill"))
        if (op.value("y1").toDouble() > 3.5 * kTwips) out << op;
    return out;
}

QStringList Rendu::legendes(int page) const {
    QStringList out;
    for (const QJsonObject& op : ops(page, "text"))
        if (qAbs(op.value("y").toDouble() - 2.6 * kTwips) < 1) out << op.value("text").toString();
    return out;
}

QList<Rendu::Morceau> Rendu::morceaux(int page, double size) const {
    orv::Printer mesure;
    mesure.setFontName(QStringLiteral("Courier New"));
    mesure.setFontSize(size);
    QList<Morceau> out;
    for (const QJsonObject& op : ops(page, "text")) {
        if (op.value("size").toDouble() != size) continue;
        const QString texte = op.value("text").toString();
        qsizetype debut = 0;
        while (debut < texte.size() && texte[debut] == QLatin1Char(' ')) ++debut;
        const QString visible = texte.mid(debut).trimmed();
        if (visible.isEmpty()) continue;
        const double x = op.value("x").toDouble() + mesure.textWidth(texte.left(debut));
        out << Morceau{op.value("y").toDouble(), x, x + mesure.textWidth(visible), visible};
    }
    return out;
}

QStringList Rendu::chevauchements(int page, double x0, double x1) const {
    // Glyph boxes may touch by a twip or two (the 19-character names and the start date do):
    // their ink does not.
    constexpr double tolerance = 3;
    const QList<Morceau> m = morceaux(page, 9);
    QStringList out;
    for (int i = 0; i < m.size(); ++i) {
        if (m[i].x2 > x0 * kTwips + tolerance && m[i].x1 < x1 * kTwips - tolerance)
            out << QStringLiteral("« %1 » dans le graphique").arg(m[i].texte);
        for (int j = i + 1; j < m.size(); ++j)
            if (m[i].y == m[j].y && m[i].x1 < m[j].x2 - tolerance && m[j].x1 < m[i].x2 - tolerance)
                out << QStringLiteral("« %1 » sur « %2 »").arg(m[i].texte, m[j].texte);
    }
    return out;
}

Rendu imprimer(BaseAbsences& base, const Parametres& p, const dba::Record& requete,
               const QString& imprimante, bool couleur, const orv::RightsEntry& droits,
               const std::function<void(int)>& progression) {
    const QString path = base.dir.filePath(QStringLiteral("etat.jsonl"));
    QFile::remove(path);
    Rendu r;
    {
        orv::Printer printer(
            orv::PrinterEntry{imprimante, orv::PrinterKind::Transcript, path, couleur});
        EtatAbsences etat(base.db(), printer, droits);
        etat.setParametres(p);
        etat.setRequete(requete);
        if (progression) etat.setProgression(progression);
        r.imprimes = etat.imprimer();
        r.notes = etat.notes();
        printer.endDoc();
    }
    r.t = orv::test::lireTranscription(path);
    for (const QJsonObject& op : r.t.ops)
        if (op.value("op").toString() == "start")
            r.orientation = op.value("orientation").toString();
    return r;
}

}  // namespace traceabsences::test
