#include "host/frm_emploitemps.h"

#include "client/clock.h"
#include "client/outils_communs.h"
#include "host/module_host.h"
#include "platform/input.h"
#include "ui_frm_emploitemps.h"

namespace orv::host {

namespace {

// The timetable's date dialog proposes four weeks from the first day.
constexpr long kJoursProposes = 27;

}  // namespace

Frm_EmploiTemps::Frm_EmploiTemps(ModuleHost& host, const ModuleEntry& entry, QWidget* parent)
    : FormulaireModule(host, entry, parent), ui_(std::make_unique<Ui::Frm_EmploiTemps>()) {
    ui_->setupUi(this);
    aidant_ = personnes(ui_->Etq_Aidant, ui_->Txt_CodAidant, ui_->Cbo_NomAidant,
                        QStringLiteral("CIVILAIDANT"), QStringLiteral("Cet aidant n'existe pas."));
    aide_ = personnes(ui_->Etq_Aide, ui_->Txt_CodeAide, ui_->Cbo_NomAide,
                      QStringLiteral("CIVILAIDE"), QStringLiteral("Cet aidé n'existe pas."));
    entite_ = new EntityPicker(this);
    entite_->setFile(database().OpenFile(QStringLiteral("ASSOCIATION")));
    entite_->buildFromAssociations(database());
    secteur_ = codes(ui_->Etq_Secteur, ui_->Txt_CodSecteur, ui_->Cbo_NomSecteur,
                     QStringLiteral("SECTEUR"), 3, QStringLiteral("Ce secteur n'existe pas."));
    installCodeBox(ui_->Txt_De, 5);
    installCodeBox(ui_->Txt_A, 5);
    ui_->Cbo_AidantAide->addItems({QStringLiteral("Aidants"), QStringLiteral("Aidés")});
    ui_->Cbo_Tri->addItems({QStringLiteral("Par nom"), QStringLiteral("Par code")});
    installerDate(ui_->Txt_DateVal);
    for (QRadioButton* option : {ui_->Opt_UnAidant, ui_->Opt_UnAide, ui_->Opt_Plusieurs})
        connect(option, &QRadioButton::toggled, this, [this] { Opt_Personnes_Click(); });
    preparer(ui_->Cmd_Ok, ui_->Cmd_Annuler);
    // Today is proposed as the first day, whatever was typed last time.
    ui_->Txt_DateVal->setText(dateTexte(orv::today()));
    Opt_Personnes_Click();
}

Frm_EmploiTemps::~Frm_EmploiTemps() = default;

void Frm_EmploiTemps::Opt_Personnes_Click() {
    aidant_->setPickerEnabled(ui_->Opt_UnAidant->isChecked());
    aide_->setPickerEnabled(ui_->Opt_UnAide->isChecked());
    ui_->Cdr_Selection->setEnabled(ui_->Opt_Plusieurs->isChecked());
}

// The activity key typed (empty for every activity), checked against ACTIVITES.
QString Frm_EmploiTemps::activiteChoisie() {
    const QString cle = ui_->Txt_Activite->text().trimmed().toUpper();
    if (cle.isEmpty()) return cle;
    try {
        database().OpenFile(QStringLiteral("ACTIVITES"))->Read(cle);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
        throw SaisieRefusee(QStringLiteral("Cette activité n'existe pas."), ui_->Txt_Activite);
    }
    return cle;
}

QStringList Frm_EmploiTemps::membres() {
    QString codAidant, codeAide, aidantAide, asso, select, act, de, a, tri;
    if (ui_->Opt_UnAidant->isChecked()) {
        codAidant = codeChoisi(aidant_, QStringLiteral("Choisissez un aidant."));
    } else if (ui_->Opt_UnAide->isChecked()) {
        codeAide = codeChoisi(aide_, QStringLiteral("Choisissez un aidé."));
    } else {
        aidantAide = ui_->Cbo_AidantAide->currentIndex() == 1 ? QStringLiteral("AIDE")
                                                              : QStringLiteral("AIDANT");
        if (!ui_->Txt_CodAssoc->text().isEmpty())
            asso = codeChoisi(entite_, EntityPicker::kNotFound);
        if (!ui_->Txt_CodSecteur->text().isEmpty())
            select = codeChoisi(secteur_, QStringLiteral("Ce secteur n'existe pas."));
        act = activiteChoisie();
        de = ui_->Txt_De->text();
        a = ui_->Txt_A->text();
        if (!de.isEmpty() && !a.isEmpty() && a < de)
            throw SaisieRefusee(QStringLiteral("Le dernier code précède le premier."), ui_->Txt_A);
        tri = ui_->Cbo_Tri->currentIndex() == 0 ? QStringLiteral("NOM") : QString();
    }
    const long premier = jour(ui_->Txt_DateVal, QStringLiteral("Le premier jour"));
    return {membre(QStringLiteral("W_CodAidant"), codAidant),
            membre(QStringLiteral("W_User"), host().user()),
            membre(QStringLiteral("W_DateVal"), QString::number(premier)),
            membre(QStringLiteral("w_datefintemp"), QString::number(premier + kJoursProposes)),
            membre(QStringLiteral("W_CodeAide"), codeAide),
            membre(QStringLiteral("W_Asso"), asso),
            membre(QStringLiteral("W_Act"), act),
            membre(QStringLiteral("W_Tri"), tri),
            membre(QStringLiteral("W_Select"), select),
            membre(QStringLiteral("W_De"), de),
            membre(QStringLiteral("W_A"), a),
            membre(QStringLiteral("W_AidantAide"), aidantAide),
            membre(QStringLiteral("W_SansMail"), ui_->Cac_SansMail->isChecked()),
            membre(QStringLiteral("W_SansTlgMobile"), ui_->Cac_SansTlgMobile->isChecked())};
}

}  // namespace orv::host
