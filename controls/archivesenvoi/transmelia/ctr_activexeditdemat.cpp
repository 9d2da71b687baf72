#include "controls/archivesenvoi/transmelia/ctr_activexeditdemat.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <stdexcept>

#include "client/clock.h"
#include "client/marks.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "platform/messages.h"
#include "platform/private_files.h"

namespace transmelia {

namespace {

// A text without `mark` as a JSON string, else the array of its parts made by `partie`.
template <class Partie>
QJsonValue compact(const QString& texte, QChar mark, Partie partie) {
    if (!texte.contains(mark)) return texte;
    QJsonArray parties;
    for (const QString& p : texte.split(mark)) parties.append(partie(p));
    return parties;
}

QJsonValue valeurJson(const QString& valeur) {
    return compact(valeur, QChar(orv::kSubvalueMarkChar), [](const QString& s) { return s; });
}

QJsonValue attributJson(const QString& attribut) {
    return compact(attribut, QChar(orv::kValueMarkChar), valeurJson);
}

QString json(const QJsonArray& tableau) {
    return QString::fromUtf8(QJsonDocument(tableau).toJson(QJsonDocument::Compact));
}

// A JSON string literal, quotes included.
QString chaineJson(const QString& texte) {
    const QString tableau = json(QJsonArray{texte});
    return tableau.mid(1, tableau.size() - 2);
}

QString nomFichier(const QString& utilisateur, int rang) {
    QString nom = QStringLiteral("factures_%1_%2")
                      .arg(utilisateur, orv::today().toString(QStringLiteral("yyyyMMdd")));
    if (rang > 1) nom += QStringLiteral("_%1").arg(rang);
    return nom + QStringLiteral(".jsonl");
}

}  // namespace

QString ligneEchange(const QString& fichier, const QString& cle, const dba::Record& record) {
    QJsonArray attributs;
    const QString texte = record.get();
    if (!texte.isEmpty())
        for (const QString& a : texte.split(QChar(orv::kAttributeMarkChar)))
            attributs.append(attributJson(a));
    return QStringLiteral("{\"file\":") + chaineJson(fichier) + QStringLiteral(",\"key\":") +
           chaineJson(cle) + QStringLiteral(",\"attrs\":") + json(attributs) + QLatin1Char('}');
}

QString dossierExport() {
    const QString configure = qEnvironmentVariable("ORVANELLE_EXPORT");
    if (!configure.isEmpty()) return configure;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Orvanelle/Factures électroniques");
}

QString ecrireExport(const QString& dossier, const QString& utilisateur,
                     const QStringList& lignes) {
    if (!orv::makePrivateFolder(dossier))
        throw std::runtime_error(QStringLiteral("Le dossier d'export « %1 » ne peut pas être créé.")
                                     .arg(dossier)
                                     .toStdString());
    const QDir d(dossier);
    QFile fichier;
    // A new name each time: an earlier export is never written over.
    for (int rang = 1;; ++rang) {
        fichier.setFileName(d.absoluteFilePath(nomFichier(utilisateur, rang)));
        if (orv::openPrivate(fichier, QIODevice::WriteOnly | QIODevice::NewOnly)) break;
        if (fichier.isOpen() || !fichier.exists())
            throw std::runtime_error(QStringLiteral("Le fichier d'export « %1 » ne peut pas être "
                                                    "créé : %2")
                                         .arg(fichier.fileName(), fichier.errorString())
                                         .toStdString());
    }
    for (const QString& ligne : lignes) fichier.write((ligne + QLatin1Char('\n')).toUtf8());
    if (!fichier.flush() || fichier.error() != QFileDevice::NoError) {
        const QString erreur = fichier.errorString();
        fichier.remove();
        throw std::runtime_error(
            QStringLiteral("L'écriture du fichier d'export « %1 » a échoué : %2")
                .arg(fichier.fileName(), erreur)
                .toStdString());
    }
    return fichier.fileName();
}

Ctr_ActiveXEditDemat::Ctr_ActiveXEditDemat(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), QString(), parent) {}

void Ctr_ActiveXEditDemat::EditerFactures(const QString& factures, bool, const QString& utilisateur,
                                          int, bool) {
    dernierExport_.clear();
    dba::Database* db = database();
    if (!db) {
        orv::MsgBox(QStringLiteral("Aucune base de données n'a été transmise au contrôle "
                                   "d'édition : aucune facture n'a été exportée."),
                    orv::MsgExclamation);
        return;
    }
    const orv::Hourglass sablier;
    const dba::Record liste(factures);
    QStringList lignes;
    int introuvables = 0;
    try {
        auto archive = db->OpenFile(QStringLiteral("ARCHIVEFACT"));
        for (int i = 1; i <= liste.DCount(); ++i) {
            const QString cle = liste.get(i, 1);
            if (cle.isEmpty()) continue;
            try {
                lignes << ligneEchange(QStringLiteral("ARCHIVEFACT"), cle, archive->Read(cle));
            } catch (const dba::Error& e) {
                if (e.number() != dba::kRecordNotFound) throw;
                ++introuvables;  // removed since it was selected
            }
        }
        if (lignes.isEmpty()) {
            orv::MsgBox(QStringLiteral("Aucune des factures transmises n'existe plus : rien n'a "
                                       "été exporté."),
                        orv::MsgExclamation);
            return;
        }
        dernierExport_ = ecrireExport(dossierExport(), utilisateur, lignes);
        dba::Record recu;
        recu.put(1, dernierExport_);
        recu.put(2, QString::number(lignes.size()));
        db->OpenFile(QStringLiteral("TEMPO"))
            ->Write(QStringLiteral("ARCHIVEFACT") + utilisateur, recu);
    } catch (const dba::Error& e) {
        orv::MsgBox(
            QStringLiteral("Erreur d'accès à la base de données (n° %1) :\n%2%3")
                .arg(e.number())
                .arg(e.message(), dernierExport_.isEmpty()
                                      ? QStringLiteral("\nAucune facture n'a été exportée.")
                                      : QStringLiteral("\nLes factures sont exportées dans « %1 ».")
                                            .arg(dernierExport_)),
            orv::MsgExclamation);
        return;
    } catch (const std::runtime_error& e) {
        orv::MsgBox(QString::fromUtf8(e.what()), orv::MsgExclamation);
        return;
    }
    QString message =
        (lignes.size() == 1 ? QStringLiteral("1 facture a été exportée dans le fichier :\n%1")
                            : QStringLiteral("%2 factures ont été exportées dans le fichier :\n%1"))
            .arg(dernierExport_, QString::number(lignes.size()));
    if (introuvables)
        message += QStringLiteral("\n%1 facture(s) introuvable(s) n'ont pas été exportées.")
                       .arg(introuvables);
    orv::MsgBox(message, orv::MsgInformation);
}

}  // namespace transmelia
