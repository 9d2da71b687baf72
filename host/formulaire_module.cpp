#include "host/formulaire_module.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "client/outils_communs.h"
#include "host/module_catalogue.h"
#include "host/module_host.h"
#include "platform/busy.h"
#include "platform/fenetres.h"
#include "platform/input.h"
#include "platform/messages.h"

namespace orv::host {

QString membre(const QString& name, const QString& value) {
    return name + QLatin1Char('=') + value;
}

QString membre(const QString& name, bool value) {
    return membre(name, value ? QStringLiteral("-1") : QStringLiteral("0"));
}

FormulaireModule::FormulaireModule(ModuleHost& host, const ModuleEntry& entry, QWidget* parent)
    : QWidget(parent), host_(host), entry_(entry) {
    setAttribute(Qt::WA_QuitOnClose, true);
}

FormulaireModule::~FormulaireModule() = default;

dba::Database& FormulaireModule::database() { return host_.database(); }

void FormulaireModule::preparer(QPushButton* ok, QPushButton* annuler) {
    setWindowTitle(moduleName(entry_.identifier));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { Cmd_Ok_Click(); });
    connect(annuler, &QPushButton::clicked, this, [this] { Cmd_Annuler_Click(); });
    // Enter in a text box presses "Ok", as in a dialog.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::returnPressed, ok, [ok] {
            if (ok->isEnabled()) ok->click();
        });
    restaurer();
    memoriserGeometrie(this, QStringLiteral("orvanelle-module/") + entry_.identifier,
                       Memoire::Taille);
}

void FormulaireModule::Cmd_Ok_Click() {
    QStringList members;
    try {
        // Building the members may read many records (the absence lines of a year).
        const BusyScope busy(this, BusyScope::KeepFocus);
        members = membres();
    } catch (const SaisieRefusee& e) {
        MsgBox(e.message(), MsgExclamation);
        if (e.zone()) e.zone()->setFocus();
        return;
    }
    enregistrer();
    hide();
    try {
        host_.openModule(entry_.identifier, members);
    } catch (const HostFailure& e) {
        MsgBox(e.message(), e.style());
        show();
        return;
    }
    close();
}

void FormulaireModule::Cmd_Annuler_Click() { close(); }

void FormulaireModule::installerDate(QLineEdit* box) {
    onLostFocus(box, [box] {
        short erreur = 0;
        const QString date = OutilsCommuns::NormaliserDate(box->text(), erreur);
        if (!erreur) box->setText(date);
    });
}

QString FormulaireModule::dateTexte(const QDate& date) {
    return OutilsCommuns::JourVersDate(
        OutilsCommuns::dayNumber(date.year(), date.month(), date.day()));
}

long FormulaireModule::jour(QLineEdit* box, const QString& what) {
    short erreur = 0;
    const QString date = OutilsCommuns::NormaliserDate(box->text().trimmed(), erreur);
    const QString jour = erreur ? QString() : OutilsCommuns::DateVersJour(date);
    if (jour.isEmpty())
        throw SaisieRefusee(QStringLiteral("%1 n'est pas une date (jj/mm/aaaa attendu).").arg(what),
                            box);
    box->setText(date);
    return jour.toLong();
}

CodePicker* FormulaireModule::personnes(QLabel* label, QLineEdit* code, QComboBox* noms,
                                        const QString& fichier, const QString& inconnu) {
    CodePicker::Options options{
        5, inconnu, [](const dba::Record& r) { return r.get(2) + QLatin1Char(' ') + r.get(3); }};
    auto* picker = new CodePicker(label, code, noms, options, this);
    picker->setFile(database().OpenFile(fichier));
    const dba::Record r =
        database().Query(QStringLiteral("SSELECT %1 PAR 2 PAR 3").arg(fichier), fichier, {0, 2, 3});
    dba::Record liste;
    for (int i = 1; i <= r.DCount(); ++i) {
        liste.put(i, 1, r.get(i, 1));
        liste.put(i, 2, r.get(i, 2) + QLatin1Char(' ') + r.get(i, 3));
    }
    picker->setEntries(liste, 2);
    return picker;
}

CodePicker* FormulaireModule::codes(QLabel* label, QLineEdit* code, QComboBox* noms,
                                    const QString& fichier, int longueur, const QString& inconnu) {
    auto* picker = new CodePicker(label, code, noms, {longueur, inconnu, {}}, this);
    picker->setFile(database().OpenFile(fichier));
    picker->setEntries(
        database().Query(QStringLiteral("SSELECT %1 PAR 1").arg(fichier), fichier, {0, 1}), 2);
    return picker;
}

QString FormulaireModule::codeChoisi(const CodePicker* picker, const QString& manque) {
    if (picker->current().key().isEmpty()) throw SaisieRefusee(manque, picker->codeBox());
    return picker->current().key();
}

namespace {

// The form's own boxes, not the edit parts of its combos.
bool remembered(const QWidget* w) {
    return !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"));
}

}  // namespace

// The last values are kept per user and per module, beside the program's other settings.
QString FormulaireModule::groupeReglages() const {
    return QStringLiteral("formulaires/%1/%2").arg(host_.user(), entry_.identifier);
}

void FormulaireModule::restaurer() {
    QSettings reglages(QStringLiteral("orvanelle"), QStringLiteral("orvanelle-module"));
    reglages.beginGroup(groupeReglages());
    for (QLineEdit* box : findChildren<QLineEdit*>())
        if (remembered(box) && reglages.contains(box->objectName()))
            box->setText(reglages.value(box->objectName()).toString());
    for (QAbstractButton* b : findChildren<QAbstractButton*>())
        if (b->isCheckable() && remembered(b) && reglages.contains(b->objectName()))
            b->setChecked(reglages.value(b->objectName()).toBool());
    for (QComboBox* combo : findChildren<QComboBox*>())
        if (!combo->isEditable() && remembered(combo) && reglages.contains(combo->objectName())) {
            const int index = combo->findText(reglages.value(combo->objectName()).toString());
            if (index >= 0) combo->setCurrentIndex(index);
        }
}

void FormulaireModule::enregistrer() const {
    QSettings reglages(QStringLiteral("orvanelle"), QStringLiteral("orvanelle-module"));
    reglages.beginGroup(groupeReglages());
    for (const QLineEdit* box : findChildren<QLineEdit*>())
        if (remembered(box)) reglages.setValue(box->objectName(), box->text());
    for (const QAbstractButton* b : findChildren<QAbstractButton*>())
        if (b->isCheckable() && remembered(b)) reglages.setValue(b->objectName(), b->isChecked());
    for (const QComboBox* combo : findChildren<QComboBox*>())
        if (!combo->isEditable() && remembered(combo))
            reglages.setValue(combo->objectName(), combo->currentText());
}

}  // namespace orv::host
