#include "host/frm_soldeconges.h"

#include "client/outils_communs.h"
#include "client/requete.h"
#include "schema/attributes.h"
#include "ui_frm_soldeconges.h"

namespace orv::host {

namespace {

namespace ctr = orv::attr::contrat;

enum Colonne { Cle, Debut, Fin, Employeur, Convention };

QString date(const QString& jour) {
    return jour.isEmpty() ? QString() : OutilsCommuns::JourVersDate(jour);
}

}  // namespace

Frm_SoldeConges::Frm_SoldeConges(ModuleHost& host, const ModuleEntry& entry, QWidget* parent)
    : FormulaireModule(host, entry, parent), ui_(std::make_unique<Ui::Frm_SoldeConges>()) {
    ui_->setupUi(this);
    aidant_ = personnes(ui_->Etq_Aidant, ui_->Txt_CodAidant, ui_->Cbo_NomAidant,
                        QStringLiteral("CIVILAIDANT"), QStringLiteral("Cet aidant n'existe pas."));
    connect(aidant_, &CodePicker::loaded, this,
            [this](const QString&, const dba::Record& r) { Txt_CodAidant_Loaded(r); });
    connect(aidant_, &CodePicker::opened, ui_->Lst_Contrats, &QTreeWidget::clear);
    // Paid leave counts by the agreement's working-days rule; other motives do not.
    ui_->Cbo_Motif->addItem(QStringLiteral("Congés payés"), QStringLiteral("14"));
    ui_->Cbo_Motif->addItem(QStringLiteral("Autre absence"), QString());
    preparer(ui_->Cmd_Ok, ui_->Cmd_Annuler);
    resize(720, 360);
}

Frm_SoldeConges::~Frm_SoldeConges() = default;

QString Frm_SoldeConges::libelle(const QString& fichier, const QString& cle) {
    if (cle.isEmpty()) return {};
    try {
        return database().OpenFile(fichier)->Read(cle).get(1);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
        return cle;
    }
}

// The employer is the client (a five-digit code, mandated work) or the legal entity.
QString Frm_SoldeConges::nomEmployeur(const QString& code) {
    if (code.size() != 5) return libelle(QStringLiteral("ASSOCIATION"), code);
    try {
        const dba::Record aide = database().OpenFile(QStringLiteral("CIVILAIDE"))->Read(code);
        return aide.get(2) + QLatin1Char(' ') + aide.get(3);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
        return code;
    }
}

void Frm_SoldeConges::Txt_CodAidant_Loaded(const dba::Record& aidant) {
    ui_->Lst_Contrats->clear();
    const dba::Record r = database().Query(
        QStringLiteral("SSELECT CONTRAT AVEC 0 = %1").arg(valeurRequete(aidant.key() + "*]")),
        QStringLiteral("CONTRAT"), {0, ctr::Debut, ctr::Fin, 3, ctr::Convention});
    for (int i = 1; i <= r.DCount() && !r.get(i, 1).isEmpty(); ++i) {
        auto* item = new QTreeWidgetItem(ui_->Lst_Contrats);
        item->setText(Cle, r.get(i, 1));
        item->setText(Debut, date(r.get(i, 2)));
        item->setText(Fin, date(r.get(i, 3)));
        item->setData(Employeur, Qt::UserRole, r.get(i, 4));
        item->setText(Employeur, r.get(i, 4) + QStringLiteral("  ") + nomEmployeur(r.get(i, 4)));
        item->setText(Convention, libelle(QStringLiteral("CONVENTIONCOL"), r.get(i, 5)));
    }
    for (int c = Cle; c <= Convention; ++c) ui_->Lst_Contrats->resizeColumnToContents(c);
    // A helper with one contract has it chosen.
    if (ui_->Lst_Contrats->topLevelItemCount() == 1)
        ui_->Lst_Contrats->setCurrentItem(ui_->Lst_Contrats->topLevelItem(0));
}

QStringList Frm_SoldeConges::membres() {
    const QString code = codeChoisi(aidant_, QStringLiteral("Choisissez un aidant."));
    const QTreeWidgetItem* contrat = ui_->Lst_Contrats->currentItem();
    if (!contrat) {
        const QString message = ui_->Lst_Contrats->topLevelItemCount() == 0
                                    ? QStringLiteral("Cet aidant n'a aucun contrat.")
                                    : QStringLiteral("Choisissez un contrat de l'aidant.");
        throw SaisieRefusee(message, ui_->Lst_Contrats);
    }
    const QString employeur = contrat->data(Employeur, Qt::UserRole).toString();
    const dba::Record& aidant = aidant_->current();
    return {membre(QStringLiteral("W_CodeAidant"), code),
            membre(QStringLiteral("W_NomPrenom"), aidant.get(2) + QLatin1Char(' ') + aidant.get(3)),
            membre(QStringLiteral("W_CodeEmployeur"), employeur),
            membre(QStringLiteral("W_NomEmployeur"), nomEmployeur(employeur)),
            membre(QStringLiteral("W_CodeContrat"), contrat->text(Cle)),
            membre(QStringLiteral("W_NumMotif"), ui_->Cbo_Motif->currentData().toString())};
}

}  // namespace orv::host
