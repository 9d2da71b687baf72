#include "menu/programme.h"

#include "menu/mdi_vesperon.h"

namespace menu {

Programme::Programme() = default;
Programme::~Programme() = default;

QString Programme::cheminDe(const QString& libelle) const {
    const qsizetype i = libelles.indexOf(libelle);
    return i >= 0 ? CheminsBases.value(i) : libelle;
}

}  // namespace menu
