// The first-run window: when no INI file of database servers exists yet, it offers to create a
// new embedded database on this computer (empty with an ADMINISTRATEUR user, or the
// demonstration database) or to name a server's database, and writes the INI file for it.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class Frm_PremierDemarrage;
}

namespace menu {

class Frm_PremierDemarrage : public QDialog {
    Q_OBJECT
  public:
    static inline const QString kLibelleLocal = QStringLiteral("Base locale");
    static inline const QString kMotsPasseDifferents =
        QStringLiteral("Les deux mots de passe saisis ne sont pas identiques.");
    static inline const QString kMotPasseVide =
        QStringLiteral("Vous devez choisir le mot de passe d'ADMINISTRATEUR.");
    static inline const QString kFichierExistant =
        QStringLiteral("Le fichier « %1 » existe déjà : choisissez un autre nom.");
    static inline const QString kZoneVide = QStringLiteral("Vous devez indiquer %1.");

    // `ini` is the INI file to write.
    explicit Frm_PremierDemarrage(const QString& ini, QWidget* parent = nullptr);
    ~Frm_PremierDemarrage() override;

    void Opt_BaseNeuve_Click();
    void Opt_Serveur_Click();
    void Chk_Demo_Click();
    // Creates the database or takes the server's, writes the INI file and closes the window;
    // a missing entry or a failure shows its message and the window stays.
    void Cmd_OK_Click();
    void Cmd_Quitter_Click();

    // The database file proposed: $XDG_DATA_HOME/orvanelle/Orvanelle.orvdb (default
    // ~/.local/share).
    static QString fichierPropose();

  private:
    QString fichierBase() const;
    // The INI lines of the chosen database, empty when an entry is missing.
    QStringList lignesServeur();
    QStringList lignesBaseNeuve();
    // Runs orvanelle-db (beside the program) on the new database; false after showing why.
    bool orvanelleDb(const QString& base, const QStringList& arguments,
                     const QByteArray& entree = {});
    bool creerBase(const QString& base);
    bool ecrireIni(const QStringList& lignes);
    void ActualiserZones();

    std::unique_ptr<Ui::Frm_PremierDemarrage> ui_;
    QString ini_;
};

}  // namespace menu
