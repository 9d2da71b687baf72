#include "controls/soldeconges/ctr_soldeconges.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "client/outils_communs.h"
#include "controls/soldeconges/chiffres_solde.h"
#include "frame/library_objects.h"
#include "platform/busy.h"
#include "schema/attributes.h"
#include "ui_ctr_soldeconges.h"

namespace soldeconges {

Ctr_SoldeConges::Ctr_SoldeConges(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), kCleDroits, parent), ui_(new Ui::Ctr_SoldeConges) {
    ui_->setupUi(this);
    n0_ = {{ui_->Lst_DebutN0, ui_->Lst_FinN0, ui_->Lst_TypeCongeN0, ui_->Lst_NbJoursN0},
           ui_->Bdv_AbsN0};
    n1_ = {{ui_->Lst_DebutN1, ui_->Lst_FinN1, ui_->Lst_TypeCongeN1, ui_->Lst_NbJoursN1},
           ui_->Bdv_AbsN1};
    for (const Periode* p : {&n0_, &n1_}) lierListes(*p);
    connect(ui_->Bdv_AbsN0, &QScrollBar::valueChanged, this, [this] { Bdv_AbsN0_Change(); });
    connect(ui_->Bdv_AbsN1, &QScrollBar::valueChanged, this, [this] { Bdv_AbsN1_Change(); });
    connect(ui_->cmd_Retour, &QPushButton::clicked, this, [this] { cmd_Retour_Click(); });
}

Ctr_SoldeConges::~Ctr_SoldeConges() = default;

namespace {
// The height that shows `lignes` rows of the list, measured on a row of its own font and style.
int hauteurPour(QListWidget* liste, int lignes) {
    liste->addItem(QStringLiteral("0"));
    const int ligne = liste->sizeHintForRow(0);
    liste->clear();
    return lignes * ligne + 2 * liste->frameWidth();
}
}  // namespace

void Ctr_SoldeConges::lierListes(const Periode& periode) {
    for (QListWidget* l : periode.listes) {
        l->setFixedHeight(hauteurPour(l, kLignesVisibles - 1));
        connect(l, &QListWidget::currentRowChanged, this, [this, l] { Lst_Click(l); });
        // Wheel, keys or a drag scroll one list: the three others follow, row for row.
        connect(l->verticalScrollBar(), &QScrollBar::valueChanged, this, [periode](int haut) {
            for (QListWidget* autre : periode.listes) autre->verticalScrollBar()->setValue(haut);
        });
    }
    periode.barre->hide();
}

QString Ctr_SoldeConges::date(const QString& jour) {
    return orv::OutilsCommuns::JourVersDate(jour);
}

// Every absence is counted by the server: busy for the whole filling.
void Ctr_SoldeConges::start() {
    dba::Database& db = requireDatabase();
    const orv::BusyScope occupe(this);
    Mod_Variables& v = variablesBibliotheque();
    Ouvrir_Fichiers(db, v);
    remplirEntete();
    v.contrat = v.contrats->Read(W_CodeContrat);
    v.convention = v.conventions->Read(v.contrat.get(orv::attr::contrat::Convention));
    remplirSolde();
}

void Ctr_SoldeConges::remplirEntete() {
    ui_->Etq_Aidant->setText(W_CodeAidant + QStringLiteral("  ") + W_NomPrenom);
    ui_->Etq_Employeur->setText(W_CodeEmployeur + QStringLiteral("  ") + W_NomEmployeur);
}

void Ctr_SoldeConges::remplirSolde() {
    Mod_Variables& v = variablesBibliotheque();
    const dba::Record contrat = v.contrat;
    const QString periodePaie = contrat.get(orv::attr::contrat::PeriodeDecompte);
    if (periodePaie.isEmpty()) return;

    const int suivante = Periode_Reference(*database(), v, dateDecompteN0(periodePaie), W_NumMotif);
    const ChiffresSolde f = chiffresSolde(contrat);
    ui_->Etq_DateCPAcquis->setText(date(v.debutPeriode));
    ui_->Txt_CPAcquis->setText(f.cpAcquis.texte());
    ui_->Txt_CDPrev->setText(f.cdPrev.texte());
    ui_->Txt_DLDecompte->setText(f.dlDecompte.texte());
    ui_->Etq_DateCAAcquis->setText(date(v.dateAcquisitionCA));
    ui_->Txt_CAAcquis->setText(f.caAcquis.texte());
    ui_->Etq_PeriodeRefN0->setText(date(v.debutPeriode) + QStringLiteral(" au ") +
                                   date(v.finPeriode));
    const QString debutN0 = v.debutPeriode;

    Remplir_Absences(ui_->Lst_DebutN0, ui_->Lst_FinN0, ui_->Lst_TypeCongeN0, ui_->Lst_NbJoursN0);
    ui_->Txt_CPConsommesN0->setText(totaux_.congesPayes.texte());
    ui_->Txt_CAConsommesN0->setText(totaux_.anciennete.texte());
    ui_->Txt_DLConsommesNO->setText(totaux_.delaiPrevenance.texte());

    const QString jours = v.joursOuvres ? kJoursOuvres : kJoursOuvrables;
    ui_->Etq_JourAbsN0->setText(jours);
    ui_->Etq_JourAbsN1->setText(jours);
    ui_->Etq_PeriodeDecompteN0->setText(date(Mois_Suivant(periodePaie)));
    ui_->Txt_CPDecompte->setText(f.cpDecompte.texte());
    ui_->Txt_CADecompte->setText(f.caDecompte.texte());

    if (suivante == 1) {
        desactiverN1();
        return;
    }
    Periode_Reference(*database(), v, QString::number(debutN0.toLong() + 366), W_NumMotif);
    remplirN1(contrat);
}

void Ctr_SoldeConges::desactiverN1() {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Txt_CPAcquisN1, ui_->Lst_DebutN1,
                                                      ui_->Lst_FinN1, ui_->Lst_TypeCongeN1,
                                                      ui_->Lst_NbJoursN1, ui_->Txt_CPConsommesN1})
        w->setEnabled(false);
}

void Ctr_SoldeConges::remplirN1(const dba::Record& contrat) {
    const Mod_Variables& v = variablesBibliotheque();
    ui_->Etq_PediodeRefN1->setText(date(v.debutPeriode) + QStringLiteral(" au ") +
                                   date(v.finPeriode));
    ui_->Etq_PeriodeCPN1->setText(date(v.debutPeriode));
    ui_->Txt_CPAcquisN1->setText(QString::number(cpAcquisN1(contrat, v.joursOuvres)));
    Remplir_Absences(ui_->Lst_DebutN1, ui_->Lst_FinN1, ui_->Lst_TypeCongeN1, ui_->Lst_NbJoursN1);
    ui_->Txt_CPConsommesN1->setText(totaux_.congesPayes.texte());
}

void Ctr_SoldeConges::Remplir_Absences(QListWidget* debut, QListWidget* fin, QListWidget* typeConge,
                                       QListWidget* nbJours) {
    totaux_ = Absences();
    for (QListWidget* liste : {debut, fin, typeConge, nbJours}) liste->clear();
    totaux_ = listerAbsences(*database(), variablesBibliotheque(), W_CodeAidant);
    for (const LigneAbsence& l : totaux_.lignes) {
        debut->addItem(l.debut);
        fin->addItem(l.fin);
        typeConge->addItem(l.libelle);
        nbJours->addItem(l.jours.texte());
    }
    preparerBarres();
}

void Ctr_SoldeConges::preparerBarres() {
    for (const Periode* p : {&n0_, &n1_}) {
        const int lignes = p->listes[0]->count();
        p->barre->setMaximum(qMax(0, lignes - 1));
        p->barre->setVisible(lignes >= kLignesVisibles);
        p->barre->setValue(0);
    }
}

const Ctr_SoldeConges::Periode* Ctr_SoldeConges::periodeDe(const QListWidget* liste) const {
    for (const Periode* p : {&n0_, &n1_})
        for (const QListWidget* l : p->listes)
            if (l == liste) return p;
    return nullptr;
}

void Ctr_SoldeConges::selectionnerLigne(const Periode& periode, int ligne) {
    for (QListWidget* l : periode.listes)
        if (l->currentRow() != ligne) l->setCurrentRow(ligne);
}

void Ctr_SoldeConges::Lst_Click(QListWidget* liste) {
    const Periode* p = periodeDe(liste);
    if (!p) return;
    selectionnerLigne(*p, liste->currentRow());
    if (liste->currentRow() >= 0) p->barre->setValue(liste->currentRow());
}

void Ctr_SoldeConges::Bdv_Change(const Periode& periode) {
    if (periode.barre->value() < periode.listes[0]->count())
        periode.listes[0]->setCurrentRow(periode.barre->value());
}

void Ctr_SoldeConges::Bdv_AbsN0_Change() { Bdv_Change(n0_); }
void Ctr_SoldeConges::Bdv_AbsN1_Change() { Bdv_Change(n1_); }

void Ctr_SoldeConges::cmd_Retour_Click() {
    setSortir();
    closeHostWindow();
    releaseResources();
    releaseRights();
    releaseDatabase();
}

void Ctr_SoldeConges::releaseResources() { Fermer_Fichiers(variablesBibliotheque()); }

}  // namespace soldeconges
