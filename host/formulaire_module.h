// What the forms of the container share: the form of a module asks for what its control's
// members hold, checks it with French messages, remembers its last values per user, and hands
// the control exactly what --set and --arg would (MEMBER=VALUE texts). "Ok" hosts the module
// and closes the form; "Annuler" closes it.
#pragma once

#include <QDate>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <stdexcept>

#include "frame/code_picker.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orv::host {

class ModuleHost;
struct ModuleEntry;

// A value the user must correct: the message, and the box that gets the focus.
class SaisieRefusee : public std::runtime_error {
  public:
    SaisieRefusee(const QString& message, QWidget* zone)
        : std::runtime_error(message.toStdString()), zone_(zone) {}
    QString message() const { return QString::fromUtf8(what()); }
    QWidget* zone() const { return zone_; }

  private:
    QWidget* zone_;
};

class FormulaireModule : public QWidget {
    Q_OBJECT
  public:
    FormulaireModule(ModuleHost& host, const ModuleEntry& entry, QWidget* parent = nullptr);
    ~FormulaireModule() override;

    void Cmd_Ok_Click();
    void Cmd_Annuler_Click();

    // The members the control receives; throws SaisieRefusee.
    virtual QStringList membres() = 0;

  protected:
    // Called by the form once its widgets exist: connects "Ok" and "Annuler", restores the
    // values of the user's last use, makes Enter in a box press "Ok".
    void preparer(QPushButton* ok, QPushButton* annuler);

    dba::Database& database();
    ModuleHost& host() { return host_; }

    // A date box: the typed date is normalised when the box is left (1/2/05, 01022005...).
    static void installerDate(QLineEdit* box);
    // The date text of a day, through the utility object.
    static QString dateTexte(const QDate& date);
    // The internal day number of a date box; throws SaisieRefusee naming `what`.
    static long jour(QLineEdit* box, const QString& what);
    // A code picker over a file whose names are attributes 2 and 3 of its records (persons);
    // the combo lists every record of the statement's selection by that name.
    CodePicker* personnes(QLabel* label, QLineEdit* code, QComboBox* noms, const QString& fichier,
                          const QString& inconnu);
    // A code picker whose names are attribute 1 (entities, sectors).
    CodePicker* codes(QLabel* label, QLineEdit* code, QComboBox* noms, const QString& fichier,
                      int longueur, const QString& inconnu);
    // The loaded code of a picker; throws SaisieRefusee with `manque` when none is loaded.
    static QString codeChoisi(const CodePicker* picker, const QString& manque);

  private:
    QString groupeReglages() const;
    void restaurer();
    void enregistrer() const;

    ModuleHost& host_;
    const ModuleEntry& entry_;
};

// "NAME=value" for the control.
QString membre(const QString& name, const QString& value);
// A Boolean member as the controls take it (True = -1).
QString membre(const QString& name, bool value);

}  // namespace orv::host
