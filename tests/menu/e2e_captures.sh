#!/bin/bash
# End to end: the user guide's screenshots of MenuCadrius, taken by its automation scripts over
# a small telegestion database: the first start, the database selection, the login, the reports
# and code windows over the main window, and the main window with the "Badgeuses" menu and its
# "Codes barres" submenu open. Each picture is checked; DOCS_OUT=FOLDER copies them there
# (menu-premier-demarrage.png, menu-selection.png, menu-connexion.png, menu-rapports.png,
# menu-code.png, menu-principal.png).
. "$(dirname "$0")/../support/e2e.sh"
db=$WORK/cadrius.orvdb
tool() { "$BIN/orvanelle-db" --db "$db" "$@"; }
record() { tool write "$1" "$2" >/dev/null || fail "écriture $1 $2"; }

# The database: the counter, the pay period and one entity; DUPOND with the rights of an office
# worker on the monitors, the reports, the code and the badge readers; two import reports.
tool init >/dev/null || fail "init"
python3 -c 'import json; a = [""] * 33; a[0] = "COMPTEUR GÉNÉRAL"; a[32] = "1"; print(json.dumps(a))' |
    record COMPTEUR 999
echo '["", "", "O"]' | record TLGPARAM HEURELIMITEVERIF
echo '["200603"]' | record PERIODESPAIE 1
python3 -c 'import json; a = [""] * 39; a[0] = "ADMR Vallée"; a[38] = "17"; print(json.dumps(a))' |
    record ASSOCIATION 001
echo "mot,de,passe" | tool user add DUPOND >/dev/null || fail "utilisateur DUPOND"
for key in MONITEURS CADRIUSMONITEUR CADRIUSTLGVERIFPLG ETATS CADRIUSFEUILLEPRES CADRIUSRAPPORT \
    CADRIUSCODE CADRIUSBADGEUSES CADRIUSDOUCHETTE CADRIUSCODESBARRES CADRIUSCODESBARRESAIDES \
    INFOVERSION APROPOS; do
    tool rights grant DUPOND "$key" 2 >/dev/null || fail "droit $key"
done
echo '["Import des pointages du 15/03/2006", "Fichier : POINT_20060315.DAT",
      "Pointages lus : 356", "Pointages intégrés : 354",
      "Anomalie : aidant 00042, badge non reconnu à 08h12",
      "Anomalie : aidant 00107, badge non reconnu à 17h45", "Fin de l'"'"'import à 06:14"]' |
    record VESPERONRAPPORTS 2006-03-15_import.txt
echo '["Import des pointages du 14/03"]' | record VESPERONRAPPORTS 2006-03-14_import.txt

# Runs MenuCadrius with the INI file $1 (no login: the start-up windows) and the script read
# from standard input.
menu() {
    cat >"$WORK/script.txt"
    ORVANELLE_INI=$1 timeout 120 "$BIN/MenuCadrius" --script "$WORK/script.txt" \
        >"$WORK/out" 2>"$WORK/err" || { cat "$WORK/err" >&2; fail "MenuCadrius a échoué"; }
}

# 1. The first start: no INI file yet.
menu "$WORK/absent.ini" <<SCRIPT
clear Txt_Fichier
type Txt_Fichier /home/accueil/.local/share/orvanelle/Orvanelle.orvdb
capture $WORK/menu-premier-demarrage.png Frm_PremierDemarrage
SCRIPT
no_message

# 2. Two databases to choose from, DUPOND's login, then the main window.
printf 'SERVEUR=localhost\nProduction=%s\nFormation=/srv/formation.orvdb\n' "$db" >"$WORK/Orvanelle.ini"
menu "$WORK/Orvanelle.ini" <<SCRIPT
capture $WORK/menu-selection.png Frm_SelectionBase
pick Cbo_BaseDispo Production
click Cmd_OK
clear Txt_Utilisateur
type Txt_Utilisateur dupond
type Txt_MotPasse mot,de,passe
capture $WORK/menu-connexion.png Frm_Connexion
click Cmd_Ok
menu Mnu_CADRIUSRAPPORT
pick Cbo_Rapports 0
capture $WORK/menu-rapports.png Mdi_Vesperon
click Cmd_Fermer
menu Mnu_CADRIUSCODE
type Text1 00042
click Command1
capture $WORK/menu-code.png Mdi_Vesperon
click Command2
menu Mnu_CADRIUSBADGEUSES
menu Mnu_CADRIUSCODESBARRES
capture $WORK/menu-principal.png Mdi_Vesperon
SCRIPT
no_message
for picture in premier-demarrage selection connexion rapports code principal; do
    screenshot "menu-$picture.png"
done
echo "captures de MenuCadrius : OK"
