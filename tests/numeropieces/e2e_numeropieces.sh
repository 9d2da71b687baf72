#!/bin/bash
# End to end: the billing counters control hosted by orvanelle-module on the demo database.
# Loads an entity, changes counters, validates, and reads the record back with orvanelle-db;
# then checks the leaving question (Cancel keeps the screen, Yes writes). DOCS_OUT=FOLDER also
# writes the guide's screenshot numeropieces.png there.
. "$(dirname "$0")/../support/e2e.sh"
db=$WORK/demo.orvdb

module() { run_module "$db" DIRECTION direction NumeroPieces.Ctr_NumeroPieces; }
attribute() { db_attribute "$db" NUMEROFACT "$1" "$2"; }

demo_db "$db"
before_orga=$(attribute 001 2)
before_inter=$(attribute 001 5)

# 1. Load entity 001 by its code (the guide's screenshot), change two counters, validate.
module <<SCRIPT
type Txt_CodAssoc 1
key Txt_CodAssoc Enter
capture $WORK/numeropieces.png Frm_Hote
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
no_message
screenshot numeropieces.png
# After validating, the picker is open again.
grep -q '"name": *"Txt_CodAssoc"' "$WORK/out" || fail "pas d'état des zones"

# 2. Leaving after a change asks; Cancel keeps the typed value on screen and writes nothing.
module <<'SCRIPT'
type Txt_CodAssoc 001
clear Txt_OrgaPrest
type Txt_OrgaPrest 5000
answer Cancel
click Cmd_Retour
dump
SCRIPT
grep -q 'Voulez-vous enregistrer les modifications' "$WORK/out" || fail "pas de question en sortant"
python3 - "$WORK/out" <<'PY' || fail "la valeur tapée n'est plus à l'écran"
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
