#include "menu/mod_vesperon.h"

#include <exception>

namespace menu {

bool LireEnregistrement(uni::File& file, uni::Record& record, const QString& key) {
    file.setRecordId(key);
    int erreur = 0;
    try {
        file.Read();
        erreur = file.Error();
    } catch (const std::exception&) {
        // A storage failure is another error than "not found": the record stays as it was.
        return false;
    }
    if (erreur == 0) {
        record = file.record();
        return true;
    }
    if (erreur == uni::kRecordNotFound) record = uni::Record();
    return false;
}

namespace {

void ouvrir(uni::Session& session, FichierVesperon& handle, const QString& nom) {
    handle.fichier = session.OpenFile(nom);
    handle.enregistrement = uni::Record();
}

void liberer(FichierVesperon& handle) {
    handle.fichier.reset();
    handle.enregistrement = uni::Record();
}

}  // namespace

void OuvrirFichiersVesperon(Programme& programme) {
    uni::Session& session = *programme.SessionBase;
    FichiersVesperon& f = programme.fichiers;
    ouvrir(session, f.rapports, QStringLiteral("VESPERONRAPPORTS"));
    ouvrir(session, f.periodesPaie, QStringLiteral("PERIODESPAIE"));
    ouvrir(session, f.tlgParam, QStringLiteral("TLGPARAM"));
}

void LibererFichiersVesperon(Programme& programme) {
    FichiersVesperon& f = programme.fichiers;
    for (FichierVesperon* h : {&f.rapports, &f.periodesPaie, &f.tlgParam, &f.compteur}) liberer(*h);
}

}  // namespace menu
