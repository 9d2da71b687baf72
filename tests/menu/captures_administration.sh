#!/bin/bash
# Screenshots of the administration windows for the user guide, on the demo database:
#   ORV_BIN_DIR=build/bin xvfb-run -a bash tests/menu/captures_administration.sh docs
# writes administration-utilisateurs.png, administration-groupes.png and
# administration-parametres.png into the folder given.
. "$(dirname "$0")/../support/e2e.sh"
out=$(realpath "${1:?dossier}")
export QT_QPA_PLATFORM=${CAPTURE_PLATFORM:-xcb}
export ORVANELLE_TODAY=2006-03-20
demo_db "$WORK/demo.orvdb"
printf 'SERVEUR=localhost\nDemo=%s\n' "$WORK/demo.orvdb" > "$WORK/Orvanelle.ini"
run_menu "$WORK/Orvanelle.ini" Demo,administrateur,admin <<SCRIPT
menu Mnu_CADRIUSDROITSUTILS
pick Lst_Utilisateurs ACCUEIL
wait 300
capture $out/administration-utilisateurs.png Chd_CADRIUSDROITSUTILS
click Cmd_Retour
menu Mnu_CADRIUSDROITSGPE
pick Cbo_Titulaire CONSULTATION
pick Lst_Droits RELEVEDNT
wait 300
capture $out/administration-groupes.png Chd_CADRIUSDROITSGPE
click Cmd_Retour
menu Mnu_CADRIUSPARAMSARR
wait 300
capture $out/administration-parametres.png Chd_CADRIUSPARAMSARR
click Cmd_Retour
SCRIPT
echo "captures écrites dans $out"
