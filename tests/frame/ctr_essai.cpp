#include "ctr_essai.h"

#include <QPushButton>

#include "frame/library_objects.h"
#include "platform/busy.h"
#include "ui_ctr_essai.h"

namespace essai {

Ctr_Essai::Ctr_Essai(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), QStringLiteral("COMPTEURFACT"), parent),
      ui_(std::make_unique<Ui::Ctr_Essai>()) {
    ui_->setupUi(this);
    enableHelpMenu();
    picker_ = new orv::EntityPicker(this);
    connect(picker_, &orv::CodePicker::loaded, this,
            [this](const QString& code, const dba::Record& entity) {
                ui_->Txt_Detail->setText(code + QLatin1Char(' ') + entity.get(1));
                picker_->setPickerEnabled(false);
            });
    connect(picker_, &orv::CodePicker::opened, this, [this] { ui_->Txt_Detail->clear(); });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { leave(); });
}

Ctr_Essai::~Ctr_Essai() = default;

void Ctr_Essai::start() {
    dba::Database& db = requireDatabase();
    {
        orv::BusyScope busy(this);
        picker_->setFile(db.OpenFile(QStringLiteral("ASSOCIATION")));
        if (activites_)
            picker_->buildFromActivities(db);
        else
            picker_->buildFromAssociations(db);
        applyRights();
    }
    ui_->Txt_Detail->clear();
    picker_->selectSingleEntry();
    picker_->focusCode();
}

QWidget* Ctr_Essai::actionButton() const { return ui_->Cmd_OK; }

}  // namespace essai
