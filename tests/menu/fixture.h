// Fixture databases and helpers for the MenuCadrius tests: a telegestion database with users,
// counters, pay period, reports and rights; the INI file naming it; a driver that answers the
// modal start-up windows; and the scripted message service.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/database.h"
#include "menu/programme.h"
#include "platform/message_services.h"

class QTimer;
class QWidget;

namespace essai {

// Users: ADMINISTRATEUR/admin (nothing stored in the rights), DUPOND/"mot,de,passe" and
// MARTIN/martin (rights given by each test).
struct BaseEssai {
    BaseEssai();
    void ecrire(const std::string& fichier, const std::string& cle,
                const std::vector<std::string>& attributs);
    void supprimer(const std::string& fichier, const std::string& cle);
    void droit(const QString& utilisateur, const QString& cle, int niveau);
    // Writes an INI file with these lines and points ORVANELLE_INI at it: in UTF-8, or in
    // Windows-1252 as on the old workstations (Latin-1 letters only).
    void ini(const QStringList& lignes, bool windows1252 = false);

    QTemporaryDir dossier;
    QString chemin;
    QString cheminIni;
    std::shared_ptr<orv::Database> db;
};

// Answers the modal windows of the start-up, in the order they appear: each step names the
// window it expects and acts on it. A modal window that was not expected is recorded and
// closed, so that a test never hangs.
class Pilote {
  public:
    using Action = std::function<void(QWidget* fenetre)>;
    explicit Pilote(menu::Programme& programme);
    ~Pilote();
    void puis(const QString& fenetre, Action action);
    // The names of the modal windows seen, in order.
    const QStringList& vues() const { return vues_; }

  private:
    void verifier();
    menu::Programme& programme_;
    QList<QPair<QString, Action>> etapes_;
    QStringList vues_;
    QPointer<QWidget> derniere_;
    QTimer* minuterie_;
};

// Types into a named line edit of a window (replacing its text); a missing widget throws.
void saisir(QWidget* fenetre, const QString& nom, const QString& texte);
// Clicks a named button, check box or option button of a window; a missing one throws.
void cliquer(QWidget* fenetre, const QString& nom);

// Runs the splash window's two ticks: the main window is then open (programme.mdi).
void ouvrirMenu(menu::Programme& programme);
// Logs in without the start-up windows: database `libelle` of the fixture, then the menu.
void connecter(menu::Programme& programme, BaseEssai& base, const QString& utilisateur,
               const QString& motPasse);

// The texts of the messages shown.
QStringList textes(const orv::ScriptedMessageService& messages);

}  // namespace essai
