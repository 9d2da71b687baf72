// Ctr_ReleveDnt: the quarterly declaration statement of one legal entity for one URSSAF centre
// and one calendar quarter. The user picks the quarter, the entity and the centre; "Imprimer"
// selects the declarations, asks for a printer and a number of copies, and prints the
// statement (ReleveDnt), every copy in one print job.
#pragma once

#include <QDate>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "client/dba.h"
#include "frame/module_control.h"
#include "platform/print_job.h"

class QComboBox;

namespace Ui {
class Ctr_ReleveDnt;
}

namespace orv {
class EntityPicker;
class Printer;
}  // namespace orv

namespace declartrim {

class CentrePicker;
class ReleveDnt;

// The quarter label: "1er  TRIMESTRE 2005", "3ème TRIMESTRE 2004" (the quarter digit first, the
// year last, both suffixes three characters wide).
QString libelleTrimestre(int trimestre, int annee);
// The current quarter of `jour` and the eight before it, newest first.
QStringList listeTrimestres(const QDate& jour);
// The selection of the declarations of a quarter label, an entity code and a centre code.
QString requeteDeclarations(const QString& trimestre, const QString& entite, const QString& centre);

class Ctr_ReleveDnt : public orv::ModuleControl {
    Q_OBJECT
  public:
    static inline const QString kCleDroits = QStringLiteral("RELEVEDNT");
    static inline const QString kPageAide = QStringLiteral("DeclarTrim.htm");
    static inline const QString kTitreAide =
        QStringLiteral("Le relevé des déclarations nominatives trimestrielles");
    static inline const QString kAucuneDeclaration =
        QStringLiteral("Aucune Déclaration Nominative Trimestrielle correspondant aux sélections.");

    explicit Ctr_ReleveDnt(QWidget* parent = nullptr);
    ~Ctr_ReleveDnt() override;

    void Cmd_Ok_Click();
    void Cmd_Sortir_Click();

  protected:
    void start() override;
    QWidget* actionButton() const override;
    void releaseResources() override;
    void Mnu_Sommaire_Click() override;

  private:
    // Opens the files and fills the three lists, busy.
    void chargerListes();
    void Remplir_CboTrimestre();
    void RequeteDetailChgPartemp();
    void GriserAsso();
    void GriserCentreUrssaf();
    void installerSelecteurs();
    void placerFocus();
    // A code of a picker has become complete and names an existing record.
    void codeCharge(bool& charge);
    // A code of a picker is incomplete: its name is emptied and printing is off.
    void codeOuvert(bool& charge, QComboBox* noms);
    void majCmdOk();
    void aucuneDeclaration();
    // Asks the printer and the copies, then prints every copy in one job. Failed when the job
    // could not print (the reason was shown); the control then stays open.
    orv::PrintJob::Outcome imprimer();
    void signalerEchec(const QString& quoi, const std::exception& e);

    std::unique_ptr<Ui::Ctr_ReleveDnt> ui_;
    orv::EntityPicker* entite_ = nullptr;
    CentrePicker* centre_ = nullptr;
    std::shared_ptr<dba::File> association_;
    std::shared_ptr<dba::File> centreUrssaf_;
    dba::Record requete_;
    dba::Record selection_;
    bool entiteChargee_ = false;
    bool centreCharge_ = false;
    std::unique_ptr<ReleveDnt> releve_;
};

}  // namespace declartrim
