#!/bin/sh
# End to end: the billing counters control hosted by orvanelle-module on the demo database.
# Loads an entity, changes counters, validates, and reads the record back with orvanelle-db;
# then checks the leaving question (Cancel keeps the screen, Yes writes).
set -eu
bin=${ORV_BIN_DIR:?ORV_BIN_DIR must name the folder of the programs}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ORVANELLE_PLUGIN_PATH=${ORVANELLE_PLUGIN_PATH:-$bin/../lib}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db=$work/demo.orvdb

fail() { echo "ÉCHEC : $*" >&2; exit 1; }

# Runs the control with the script read from standard input; its output is left in $work/out.
module() {
    cat > "$work/script.txt"
    echo direction | "$bin/orvanelle-module" --db "$db" --user DIRECTION --password-stdin \
        NumeroPieces.Ctr_NumeroPieces --script "$work/script.txt" > "$work/out" 2> "$work/err" ||
        { cat "$work/err" >&2; fail "orvanelle-module a échoué"; }
}

# Attribute N of NUMEROFACT KEY as stored.
attribute() {
    "$bin/orvanelle-db" --db "$db" read NUMEROFACT "$1" |
        python3 -c "import json,sys; a=json.load(sys.stdin); print(a[$2-1] if len(a)>=$2 else '')"
}

"$bin/orvanelle-db" --db "$db" demo > /dev/null 2>&1 || fail "base de démonstration impossible"
before_orga=$(attribute 001 2)
before_inter=$(attribute 001 5)

# 1. Load entity 001 by its code, change two counters, validate.
module <<'SCRIPT'
type Txt_CodAssoc 1
key Txt_CodAssoc Enter
clear Txt_OrgaPrest
type Txt_OrgaPrest 4321
clear Txt_AideMandat
type Txt_AideMandat 125
click Cmd_OK
dump
SCRIPT
[ "$(attribute 001 2)" = "0000004321" ] || fail "compteur organisme prestataire : $(attribute 001 2)"
[ "$(attribute 001 3)" = "0000000125" ] || fail "compteur aidé mandataire : $(attribute 001 3)"
[ "$(attribute 001 5)" = "$before_inter" ] || fail "un compteur non modifié a changé"
[ "$before_orga" != "0000004321" ] || fail "la base de démonstration a déjà la valeur attendue"
grep -q '"message"' "$work/out" && fail "message inattendu : $(grep '"message"' "$work/out")"
# After validating, the picker is open again.
grep -q '"name": *"Txt_CodAssoc"' "$work/out" || fail "pas d'état des zones"

# 2. Leaving after a change asks; Cancel keeps the typed value on screen and writes nothing.
module <<'SCRIPT'
type Txt_CodAssoc 001
clear Txt_OrgaPrest
type Txt_OrgaPrest 5000
answer Cancel
click Cmd_Retour
dump
SCRIPT
grep -q 'Voulez-vous enregistrer les modifications' "$work/out" || fail "pas de question en sortant"
python3 - "$work/out" <<'PY' || fail "la valeur tapée n'est plus à l'écran"
import json, sys
for line in open(sys.argv[1]):
    d = json.loads(line)
    for w in d.get("windows", []):
        for x in w["widgets"]:
            if x["name"] == "Txt_OrgaPrest" and x["text"] == "5000":
                sys.exit(0)
sys.exit(1)
PY
[ "$(attribute 001 2)" = "0000004321" ] || fail "Annuler a écrit : $(attribute 001 2)"

# 3. Leaving with Yes writes.
module <<'SCRIPT'
type Txt_CodAssoc 001
clear Txt_OrgaPrest
type Txt_OrgaPrest 5000
answer Yes
click Cmd_Retour
SCRIPT
[ "$(attribute 001 2)" = "0000005000" ] || fail "Oui n'a pas écrit : $(attribute 001 2)"
echo "NumeroPieces de bout en bout : OK"
