#include "host/frm_modules.h"

#include <QCloseEvent>
#include <QHeaderView>

#include "host/module_host.h"
#include "platform/fenetres.h"
#include "platform/messages.h"
#include "ui_frm_modules.h"

namespace orv::host {

namespace {

const QString kNoAccess =
    QStringLiteral("Vos droits ne vous donnent pas accès à ce module (clé « %1 »).");

}  // namespace

Frm_Modules::Frm_Modules(ModuleHost& host, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::Frm_Modules>()), host_(host) {
    ui_->setupUi(this);
    for (const ModuleEntry& entry : moduleCatalogue()) {
        auto* item = new QTreeWidgetItem(ui_->Lst_Modules,
                                         {moduleName(entry.identifier), entry.description});
        if (!host_.allows(entry)) {
            item->setDisabled(true);
            item->setToolTip(0, kNoAccess.arg(entry.rightsKey));
        }
    }
    ui_->Lst_Modules->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui_->Lst_Modules->header()->setStretchLastSection(true);
    connect(ui_->Lst_Modules, &QTreeWidget::currentItemChanged, this,
            [this] { Lst_Modules_Click(); });
    connect(ui_->Lst_Modules, &QTreeWidget::itemActivated, this, [this] { Cmd_Ouvrir_Click(); });
    connect(ui_->Cmd_Ouvrir, &QPushButton::clicked, this, [this] { Cmd_Ouvrir_Click(); });
    connect(ui_->Cmd_Quitter, &QPushButton::clicked, this, [this] { Cmd_Quitter_Click(); });
    // The first module the user may open is chosen.
    for (int i = 0; i < ui_->Lst_Modules->topLevelItemCount(); ++i)
        if (!ui_->Lst_Modules->topLevelItem(i)->isDisabled()) {
            ui_->Lst_Modules->setCurrentItem(ui_->Lst_Modules->topLevelItem(i));
            break;
        }
    Lst_Modules_Click();
    memoriserGeometrie(this, QStringLiteral("orvanelle-module/modules"));
}

Frm_Modules::~Frm_Modules() = default;

const ModuleEntry* Frm_Modules::chosen() const {
    const int row = ui_->Lst_Modules->indexOfTopLevelItem(ui_->Lst_Modules->currentItem());
    return row < 0 ? nullptr : &moduleCatalogue().at(row);
}

void Frm_Modules::Lst_Modules_Click() {
    const ModuleEntry* entry = chosen();
    const bool allowed = entry && host_.allows(*entry);
    ui_->Cmd_Ouvrir->setEnabled(allowed);
    ui_->Etq_Droits->setText(entry && !allowed ? kNoAccess.arg(entry->rightsKey) : QString());
}

void Frm_Modules::Cmd_Ouvrir_Click() {
    const ModuleEntry* entry = chosen();
    if (!entry || !host_.allows(*entry)) return;
    try {
        host_.chooseModule(*entry);
    } catch (const HostFailure& e) {
        MsgBox(e.message(), e.style());
    }
}

void Frm_Modules::Cmd_Quitter_Click() { close(); }

// The program ends with this window: every module window goes first, and one whose control
// has not been left keeps the program running.
void Frm_Modules::closeEvent(QCloseEvent* event) {
    if (host_.closeModules()) {
        event->accept();
        return;
    }
    MsgBox(QStringLiteral("Quittez d'abord les modules encore ouverts."), MsgExclamation);
    event->ignore();
}

}  // namespace orv::host
