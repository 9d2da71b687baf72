#include "ctr_essai.h"

#include <QPushButton>

#include "frame/library_objects.h"
#include "ui_ctr_essai.h"

namespace essai {

Ctr_Essai::Ctr_Essai(QWidget* parent)
    : orv::ModuleControl(orv::thisLibrary(), QStringLiteral("COMPTEURFACT"), parent),
      ui_(std::make_unique<Ui::Ctr_Essai>()) {
    ui_->setupUi(this);
    enableHelpMenu();
    picker_ = new orv::EntityPicker(this);
    picker_->setHooks({
        .codeChanged = {},
        .loaded =
            [this](const QString& code, const dba::Record& entity) {
                ui_->Txt_Detail->setText(code + QLatin1Char(' ') + entity.get(1));
                picker_->setPickerEnabled(false);
            },
        .opened = [this] { clearDetails(); },
    });
    connect(ui_->Cmd_Retour, &QPushButton::clicked, this, [this] { leave(); });
}

Ctr_Essai::~Ctr_Essai() = default;

void Ctr_Essai::openFiles() {
    picker_->setFile(database()->OpenFile(QStringLiteral("ASSOCIATION")));
}

void Ctr_Essai::buildEntityList() {
    if (activites_)
        picker_->buildFromActivities(*database());
    else
        picker_->buildFromAssociations(*database());
}

QWidget* Ctr_Essai::actionButton() const { return ui_->Cmd_OK; }

void Ctr_Essai::clearDetails() { ui_->Txt_Detail->clear(); }

void Ctr_Essai::postStart() {
    picker_->selectSingleEntry();
    picker_->focusCode();
}

}  // namespace essai
