#!/bin/bash
# End to end: the administration windows through MenuCadrius on the demo database, on the
# embedded store or (argument "postgres") on a database of the test cluster, where users are
# login roles. The administrator creates a group and a user of that group, with level 2 on the
# quarterly statement and 0 on the monitor; that user logs in with its own password and finds
# the statement's print button shown and the monitor's entry greyed. A user with level 1 sees
# the three windows read-only. The last administrator cannot be removed. The pay period moved
# forward changes what the invoice selection and the leave tally show.
. "$(dirname "$0")/../support/e2e.sh"
store=${1:-embedded}
export ORVANELLE_TODAY=2006-03-20
demo=$WORK/demo.orvdb
demo_db "$demo"
ini=$WORK/Orvanelle.ini
export E2E_INI=$ini

if [ "$store" = postgres ]; then
    # The cluster's administrative password goes to orvanelle-db and psql only: the programs
    # under test log in with the users' own passwords.
    . "${ORV_PG_CLUSTER:?the test cluster}/env"
    export PGHOST PGPORT PGUSER
    pgpass=$PGPASSWORD
    unset PGPASSWORD
    server=$PGHOST:$PGPORT
    psql() { PGPASSWORD=$pgpass command psql "$@"; }
    name=orv_e2e_admin_$$
    db=pg:$name
    tool() { PGPASSWORD=$pgpass "$BIN/orvanelle-db" --server "$server" --user "$PGUSER" --db "$db" "$@"; }
    cleanup_server() {
        psql -q -d postgres -c "DROP DATABASE IF EXISTS $name WITH (FORCE)" >/dev/null 2>&1 || true
        for role in ADMINISTRATEUR DIRECTION STAGIAIRE NOUVELLE "orv_users:$name.orvanelle"; do
            psql -q -d postgres -c "DROP ROLE IF EXISTS \"$role\"" >/dev/null 2>&1 || true
        done
        rm -rf "$WORK"
    }
    trap cleanup_server EXIT
    tool init >/dev/null || fail "init sur le serveur"
    tool copy "$demo" "$db" >/dev/null 2>"$WORK/copie" || { cat "$WORK/copie" >&2; fail "copie de la démonstration sur le serveur"; }
    for user in ADMINISTRATEUR:admin DIRECTION:direction STAGIAIRE:stagiaire; do
        echo "${user#*:}" | tool user add "${user%%:*}" || fail "rôle ${user%%:*}"
    done
    # The program's administrator creates and removes login roles from the users' window.
    psql -q -d postgres -c 'ALTER ROLE "ADMINISTRATEUR" CREATEROLE' || fail "CREATEROLE"
    printf 'SERVEUR=%s\nDemo=%s\n' "$server" "$db" > "$ini"
    read_attribute() { tool read "$1" "$2" | python3 -c "import json,sys; print(json.load(sys.stdin)[$3-1])"; }
else
    db=$demo
    printf 'SERVEUR=localhost\nDemo=%s\n' "$db" > "$ini"
    read_attribute() { db_attribute "$db" "$@"; }
fi

expect() {  # expect N NAME FIELD VALUE
    value=$(widget "$1" "$2" "$3")
    [ "$value" = "$4" ] || fail "$2.$3 (vidage $1) : attendu « $4 », obtenu « $value »"
}
expect_message() {
    local shown
    shown=$(messages)
    grep -qF "$1" <<<"$shown" || fail "message attendu « $1 » ; messages : $shown"
}

# 1. The administrator: a group SAISIE with the statement in full and the monitor closed, a
#    user NOUVELLE in it, STAGIAIRE given level 1 on the administration windows; then the last
#    administrator refused.
run_menu "$ini" Demo,administrateur,admin <<'SCRIPT'
menu Mnu_CADRIUSDROITSGPE
type Txt_NouveauGroupe saisie
click Cmd_CreerGroupe
pick Lst_Droits RELEVEDNT
pick Cbo_Niveau 3
pick Lst_Droits MONITEURS
pick Cbo_Niveau 2
pick Lst_Droits CADRIUSMONITEUR
pick Cbo_Niveau 1
click Cmd_OK
dump
click Opt_Utilisateur
pick Cbo_Titulaire STAGIAIRE
pick Lst_Droits CADRIUSPARAMS
pick Cbo_Niveau 2
pick Lst_Droits CADRIUSPARAMSARR
pick Cbo_Niveau 2
pick Lst_Droits CADRIUSDROITS
pick Cbo_Niveau 2
pick Lst_Droits CADRIUSDROITSGPE
pick Cbo_Niveau 2
pick Lst_Droits CADRIUSDROITSUTILS
pick Cbo_Niveau 2
click Cmd_OK
click Cmd_Retour
menu Mnu_CADRIUSDROITSUTILS
type Txt_Nom nouvelle
type Txt_MotPasse secret un
type Txt_Confirmation secret deux
click Cmd_Ajouter
type Txt_MotPasse secret un
type Txt_Confirmation secret un
pick Cbo_Groupe SAISIE
click Cmd_Ajouter
dump
pick Lst_Utilisateurs DIRECTION
answer No
click Cmd_Supprimer
pick Lst_Utilisateurs DIRECTION
answer Yes
click Cmd_Supprimer
pick Lst_Utilisateurs ADMINISTRATEUR
answer Yes
click Cmd_Supprimer
dump
click Cmd_Retour
SCRIPT
expect 1 Cbo_Titulaire text SAISIE
python3 - "$WORK/out" <<'PY' || fail "droits du groupe SAISIE à l'écran"
import json, sys
d = [d for d in map(json.loads, filter(str.strip, open(sys.argv[1]))) if "windows" in d][0]
rows = {r[0]: r[2] for w in d["windows"] for x in w["widgets"] if x["name"] == "Lst_Droits" for r in x["rows"]}
assert rows["RELEVEDNT"] == "2 - Accès complet", rows["RELEVEDNT"]
assert rows["CADRIUSMONITEUR"] == "0 - Aucun accès", rows["CADRIUSMONITEUR"]
assert rows["COMPTEURFACT"].startswith("Non défini"), rows["COMPTEURFACT"]
PY
expect_message "Les deux mots de passe saisis ne sont pas identiques."
expect_message "Voulez-vous vraiment supprimer l'utilisateur « DIRECTION » ?"
expect_message "Cette modification laisserait la base sans administrateur"
python3 - "$WORK/out" <<'PY' || fail "liste des utilisateurs"
import json, sys
dumps = [d for d in map(json.loads, filter(str.strip, open(sys.argv[1]))) if "windows" in d]
def users(d):
    return {r[0]: r[1] for w in d["windows"] for x in w["widgets"] if x["name"] == "Lst_Utilisateurs" for r in x["rows"]}
assert users(dumps[1])["NOUVELLE"] == "SAISIE", users(dumps[1])
assert "DIRECTION" in users(dumps[1])
assert "DIRECTION" not in users(dumps[2]) and "ADMINISTRATEUR" in users(dumps[2]), users(dumps[2])
PY
[ "$store" != postgres ] || psql -qtA -d postgres -c "SELECT rolcanlogin FROM pg_roles WHERE rolname = 'NOUVELLE'" | grep -qx t ||
    fail "NOUVELLE n'est pas un rôle de connexion du serveur"

# 2. NOUVELLE logs in with its own password: the monitor greyed, the statement printable.
run_menu "$ini" 'Demo,nouvelle,secret un' <<'SCRIPT'
wait 2500
dump
SCRIPT
expect 1 Mnu_CADRIUSMONITEUR enabled false
expect 1 Mnu_Moniteurs enabled true
run_module Demo NOUVELLE 'secret un' DeclarTrim.Ctr_ReleveDnt <<'SCRIPT'
dump
SCRIPT
expect 1 Cmd_Ok visible true

# 3. STAGIAIRE, level 1: the three windows read-only.
run_menu "$ini" Demo,stagiaire,stagiaire <<'SCRIPT'
menu Mnu_CADRIUSDROITSUTILS
dump
click Cmd_Retour
menu Mnu_CADRIUSDROITSGPE
dump
click Cmd_Retour
menu Mnu_CADRIUSPARAMSARR
dump
click Cmd_Retour
SCRIPT
for n in 1 2 3; do expect $n Etq_Consultation visible true; done
expect 1 Cmd_Ajouter enabled false
expect 1 Cmd_Supprimer enabled false
expect 1 Cmd_Retour enabled true
expect 2 Cmd_OK enabled false
expect 2 Cbo_Niveau enabled false
expect 2 Lst_Droits enabled true
expect 3 Cmd_OK enabled false
expect 3 Txt_PeriodePaie enabled false
expect 3 Txt_PeriodePaie text 200603

# 4. The pay period: before, the invoice selection proposes March and the tally's current
#    reference period ends on 31 May 2006; moved to June 2006, June and 31 May 2007.
module_views() {
    run_module Demo ADMINISTRATEUR admin ArchivesEnvoi.Ctr_RepDemat <<'SCRIPT'
dump
click Cmd_Retour
SCRIPT
    widget 1 Cbo_PeriodeMois1 index > "$WORK/mois"
    run_module Demo ADMINISTRATEUR admin SoldeConges.Ctr_SoldeConges --set W_CodeAidant=00101 \
        --set "W_NomPrenom=FRANÇOIS Stéphane" --set W_CodeEmployeur=50001 \
        --set "W_NomEmployeur=Employeur" --set "W_CodeContrat=00101*01" --set W_NumMotif=14 <<'SCRIPT'
dump
SCRIPT
    echo "$(cat "$WORK/mois") $(widget 1 Etq_PeriodeRefN0)"
}
[ "$(module_views)" = "2 01/06/2005 au 31/05/2006" ] || fail "avant : $(module_views)"
run_menu "$ini" Demo,administrateur,admin <<'SCRIPT'
menu Mnu_CADRIUSPARAMSARR
clear Txt_PeriodePaie
type Txt_PeriodePaie 200613
click Cmd_OK
clear Txt_PeriodePaie
type Txt_PeriodePaie 200606
clear Txt_Couleur1
type Txt_Couleur1 #00FF00
click Cmd_OK
dump
click Cmd_Retour
SCRIPT
expect_message "La période de paie « 200613 » n'est pas valide"
expect 1 Txt_PeriodePaie text 200606
[ "$(read_attribute PERIODESPAIE 1 1)" = 200606 ] || fail "PERIODESPAIE non écrit"
[ "$(read_attribute TPSPARAM 1 7)" = 65280 ] || fail "couleur des arrêts : $(read_attribute TPSPARAM 1 7)"
[ "$(module_views)" = "5 01/06/2006 au 31/05/2007" ] || fail "après : $(module_views)"
echo "Administration de bout en bout ($store) : OK"
