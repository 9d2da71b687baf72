#include "menu/mod_menu.h"

#include <QComboBox>
#include <QLineEdit>
#include <exception>

#include "menu/ecran_presentation.h"
#include "menu/frm_connexion.h"
#include "menu/frm_selectionbase.h"
#include "menu/mod_vesperon.h"
#include "menu/sauvegarde_jour.h"
#include "platform/messages.h"
#include "schema/attributes.h"

namespace menu {

LigneCommande DecouperLigneCommande(const QString& argument) {
    LigneCommande l;
    const qsizetype premiere = argument.indexOf(QLatin1Char(','));
    if (premiere < 0) {
        l.base = argument;
        return l;
    }
    l.base = argument.left(premiere);
    const QString reste = argument.mid(premiere + 1);
    const qsizetype seconde = reste.indexOf(QLatin1Char(','));
    if (seconde < 0) {
        l.utilisateur = reste;
        return l;
    }
    l.utilisateur = reste.left(seconde);
    l.motPasse = reste.mid(seconde + 1);
    l.complete = true;
    return l;
}

namespace {

// Step 3 and 4: the database, chosen from the command line, the only listed one, or by the
// user. A label from the command line that cannot be applied falls back to the window.
bool ChoisirBase(Programme& programme, const LigneCommande* ligne) {
    Frm_SelectionBase selection(programme);
    selection.Form_Load();
    if (programme.termine) return false;
    QComboBox* combo = selection.Cbo_BaseDispo();
    if (ligne) {
        combo->setEditText(ligne->base);
        selection.Cmd_OK_Click();
    } else if (combo->count() == 1 && !combo->itemText(0).isEmpty()) {
        combo->setCurrentIndex(0);
        selection.Cmd_OK_Click();
    }
    if (!selection.baseChoisie()) selection.exec();
    return !programme.termine && selection.baseChoisie();
}

// Steps 5 and 6: the login, unattended when the command line names a user.
bool Identifier(Programme& programme, const LigneCommande* ligne) {
    Frm_Connexion connexion(programme);
    connexion.Form_Load();
    if (ligne && !ligne->utilisateur.isEmpty()) {
        connexion.Txt_Utilisateur()->setText(ligne->utilisateur);
        if (ligne->complete) {
            connexion.Txt_MotPasse()->setText(ligne->motPasse);
            connexion.Cmd_Ok_Click();
        } else {
            // No password part: the login cannot be tried; the user types it.
            orv::MsgBox(kLigneSansMotPasse, orv::MsgExclamation);
            connexion.Txt_MotPasse()->setFocus();
        }
    }
    if (!connexion.connecte()) connexion.exec();
    return !programme.termine && connexion.connecte();
}

// The daily backup of an embedded database, once logged in: a failure is told and the start
// goes on.
void SauvegarderDuJour(const Programme& programme) {
    const QString echec = sauvegarderBaseDuJour(programme.SessionBase->accountPath(),
                                                programme.NomBase, dossierSauvegardes());
    if (!echec.isEmpty()) orv::MsgBox(echec, orv::MsgExclamation);
}

}  // namespace

bool VerifierTelegestion(Programme& programme) {
    FichierVesperon& compteur = programme.fichiers.compteur;
    bool lu = false;
    try {
        compteur.fichier = programme.SessionBase->OpenFile(QStringLiteral("COMPTEUR"));
        lu = LireEnregistrement(*compteur.fichier, compteur.enregistrement, QStringLiteral("999"));
    } catch (const std::exception&) {
        // A database without COMPTEUR cannot tell either: same answer as a missing record.
        lu = false;
    }
    if (!lu) {
        orv::MsgBox(kTelegestionInconnue, orv::MsgCritical);
        programme.Terminer(1);
        return false;
    }
    if (compteur.enregistrement.Field(orv::attr::compteur::Telegestion) != QStringLiteral("1")) {
        orv::MsgBox(kPasTelegestion, orv::MsgCritical);
        programme.Terminer(1);
        return false;
    }
    return true;
}

bool Main(Programme& programme, const QString& argument) {
    programme.SessionBase = std::make_unique<uni::Session>();
    LigneCommande ligne;
    const bool avecLigne = !argument.isEmpty();
    if (avecLigne) ligne = DecouperLigneCommande(argument);
    if (!ChoisirBase(programme, avecLigne ? &ligne : nullptr)) return false;
    if (!Identifier(programme, avecLigne ? &ligne : nullptr)) return false;
    SauvegarderDuJour(programme);
    if (!VerifierTelegestion(programme)) return false;
    auto* ecran = new EcranPresentation(programme);
    ecran->setAttribute(Qt::WA_DeleteOnClose);
    ecran->show();
    return true;
}

}  // namespace menu
