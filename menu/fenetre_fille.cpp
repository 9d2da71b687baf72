#include "menu/fenetre_fille.h"

#include <QCloseEvent>

#include "menu/mdi_vesperon.h"

namespace menu {

FenetreFille::FenetreFille(Mdi_Vesperon& mdi, const QString& nom, const QString& caption,
                           const QString& entree)
    : QMdiSubWindow(nullptr), mdi_(mdi), entree_(entree) {
    setObjectName(nom);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
}

void FenetreFille::desactiverEntrees() { mdi_.FenetreOuverte(*this); }

void FenetreFille::fermerSansCondition() {
    forcee_ = true;
    close();
}

void FenetreFille::closeEvent(QCloseEvent* event) {
    if (!forcee_ && !peutFermer()) {
        event->ignore();
        return;
    }
    mdi_.FenetreFermee(*this);
    QMdiSubWindow::closeEvent(event);
}

}  // namespace menu
