#include "host/frm_absences.h"

#include "client/clock.h"
#include "client/outils_communs.h"
#include "host/lignes_absences.h"
#include "platform/print_catalogue.h"
#include "schema/lignes_absences.h"
#include "ui_frm_absences.h"

namespace orv::host {

Frm_Absences::Frm_Absences(ModuleHost& host, const ModuleEntry& entry, QWidget* parent)
    : FormulaireModule(host, entry, parent), ui_(std::make_unique<Ui::Frm_Absences>()) {
    ui_->setupUi(this);
    installerDate(ui_->Txt_Du);
    installerDate(ui_->Txt_Au);
    // The current month is proposed.
    const QDate premier = orv::today().addDays(1 - orv::today().day());
    ui_->Txt_Du->setText(dateTexte(premier));
    ui_->Txt_Au->setText(dateTexte(premier.addMonths(1).addDays(-1)));
    for (const PrinterEntry& printer : PrinterCatalogue::entries())
        ui_->Cbo_Imprimante->addItem(printer.name);
    preparer(ui_->Cmd_Ok, ui_->Cmd_Annuler);
}

Frm_Absences::~Frm_Absences() = default;

QStringList Frm_Absences::membres() {
    CriteresAbsences c;
    c.debut = jour(ui_->Txt_Du, QStringLiteral("Le premier jour"));
    c.fin = jour(ui_->Txt_Au, QStringLiteral("Le dernier jour"));
    if (c.fin < c.debut)
        throw SaisieRefusee(QStringLiteral("Le dernier jour précède le premier."), ui_->Txt_Au);
    if (c.fin - c.debut + 1 > lignesabsences::JoursAuPlus)
        throw SaisieRefusee(
            QStringLiteral("La période ne peut excéder %1 jours.").arg(lignesabsences::JoursAuPlus),
            ui_->Txt_Au);
    if (ui_->Cbo_Imprimante->currentIndex() < 0)
        throw SaisieRefusee(QStringLiteral("Choisissez une imprimante."), ui_->Cbo_Imprimante);
    c.previsionnel = ui_->Opt_Previsions->isChecked();
    c.regroupement = ui_->Opt_Secteur->isChecked()   ? Regroupement::Secteur
                     : ui_->Opt_Commune->isChecked() ? Regroupement::Commune
                                                     : Regroupement::Aucun;
    c.arretsTravail = ui_->Cac_ArretTravail->isChecked();
    c.conges = ui_->Cac_Conges->isChecked();
    c.evenementsFamiliaux = ui_->Cac_EvtFam->isChecked();
    c.aValider = ui_->Cac_AValider->isChecked();
    if (!c.previsionnel && !c.arretsTravail && !c.conges && !c.evenementsFamiliaux)
        throw SaisieRefusee(QStringLiteral("Cochez au moins une catégorie d'absences."),
                            ui_->Cac_ArretTravail);
    const dba::Record requete = lignesAbsences(database(), c);
    return {membre(QStringLiteral("W_Deb"), QString::number(c.debut)),
            membre(QStringLiteral("W_DateFin"), QString::number(c.fin)),
            membre(QStringLiteral("W_CongeAbsence"), c.previsionnel),
            membre(QStringLiteral("W_Secteur"), c.regroupement == Regroupement::Secteur),
            membre(QStringLiteral("W_Commune"), c.regroupement == Regroupement::Commune),
            membre(QStringLiteral("W_Res"), QString::number(ui_->Cbo_Imprimante->currentIndex())),
            membre(QStringLiteral("W_Graphique"), ui_->Cac_Graphique->isChecked()),
            membre(QStringLiteral("W_CongesPrev"), ui_->Cac_CongesPrev->isChecked()),
            membre(QStringLiteral("W_ArretTravail"), c.arretsTravail),
            membre(QStringLiteral("W_Conges"), c.conges),
            membre(QStringLiteral("W_EvtFam"), c.evenementsFamiliaux),
            membre(QStringLiteral("W_AValider"), c.aValider),
            membre(QStringLiteral("Requete"), requete.get())};
}

}  // namespace orv::host
