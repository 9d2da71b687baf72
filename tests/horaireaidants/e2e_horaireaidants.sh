#!/bin/bash
# End to end: the demo database with its planning, the routine called through orvanelle-db,
# then orvanelle-module hosting HoraireAidants.Ctr_EditEmplTps with Edition's arguments given
# by name, the date dialog driven by a script, a helper's timetable printed to a transcript
# printer and to a PDF printer. Usage: e2e_horaireaidants.sh [BIN_DIR] [PNG_OUT]
PNG_OUT=${2:-}
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

export ORVANELLE_TODAY=2006-02-15
export ORVANELLE_PRINTERS="Transcription=transcript:$WORK/t.jsonl;Laser=pdf:$WORK/l.pdf"
DB="$WORK/demo.orvdb"
demo_db "$DB"

# Internal day numbers: day 0 is 31 December 1967.
jour() { python3 -c "import datetime as d; print((d.date.fromisoformat('$1') - d.date(1967, 12, 31)).days)"; }
DEBUT=$(jour 2006-02-13)
FIN=$(jour 2006-03-12)
AIDANT=$("$BIN/orvanelle-db" --db "$DB" query --fields 4 \
    "SSELECT PLANNING AVEC JourPlanning >= \"$DEBUT\" AND AVEC JourPlanning <= \"$FIN\"" |
    python3 -c "import sys; print(sorted(l.split()[-1] for l in sys.stdin if l.strip())[0])")
[ -n "$AIDANT" ] || fail "aucun aidant planifié dans la base de démonstration"

# The routine, as the administration tool calls it.
"$BIN/orvanelle-db" --db "$DB" call EDITEMPLOITEMPS --user DIRECTION --args \
    "$AIDANT|DIRECTION|$DEBUT|$FIN||||||||||0|0" >/dev/null || fail "appel de la routine"
"$BIN/orvanelle-db" --db "$DB" read TEMPO EMPLOITPSDIRECTION | python3 -c '
import json, sys
a = json.load(sys.stdin)
assert a[0] != "VIDE" and a[-1] == "FIN", a[:3]
entries = [l for l in a[1:-1] if l and l[0] != " "]
assert entries and all(l[12:17].replace(":", "").isdigit() for l in entries), entries[:2]
print(f"routine : {len(entries)} visites, {len(a) - 2} lignes")
' || fail "enregistrement EMPLOITPS"

# The helper's first client of the period gets a long name and a long address: both go on
# over the continuation lines of her visits, whole.
CLIENT=$("$BIN/orvanelle-db" --db "$DB" query --fields 5 \
    "SSELECT PLANNING AVEC AidantPlanning = \"$AIDANT\" AND AVEC JourPlanning >= \"$DEBUT\" PAR JourPlanning PAR DebutPlanning" |
    head -1 | awk '{print $NF}')
[ -n "$CLIENT" ] || fail "aucun client de l'aidant $AIDANT"
"$BIN/orvanelle-db" --db "$DB" read CIVILAIDE "$CLIENT" | python3 -c '
import json, sys
a = json.load(sys.stdin)
a += [""] * (11 - len(a))
a[1], a[2] = "DE LA FONTAINE-SAINT-ÉTIENNE", "Jean-Baptiste"
a[4] = a[5] = a[6] = ""
a[7], a[8] = "12 rue du Président Édouard Herriot", "Résidence les Tilleuls, bâtiment C"
print(json.dumps(a, ensure_ascii=False))' |
    "$BIN/orvanelle-db" --db "$DB" write CIVILAIDE "$CLIENT" || fail "client $CLIENT non modifié"

editer() {  # editer PRINTER SCRIPT-LINES...: Edition for the helper over four weeks
    local printer=$1
    shift
    printf '%s\n' "$@" | run_module "$DB" DIRECTION direction HoraireAidants.Ctr_EditEmplTps \
        --arg "W_CodAidant=$AIDANT" --arg W_User=DIRECTION --arg "W_DateVal=$DEBUT" \
        --arg "w_datefintemp=$FIN" --set W_SansMail=0 --set W_SansTlgMobile=0
}

# Sixty-three days are refused, then "Sortir": nothing is printed.
editer Transcription "clear Txt_datefin" "type Txt_datefin 17042006" "leave Txt_datefin" \
    "click Cmd_Ok" "click Cmd_sortir"
grep -q "ne peut excéder 2 mois" "$WORK/out" || fail "amplitude de 63 jours acceptée"
[ ! -e "$WORK/t.jsonl" ] || fail "impression après Sortir"

editer Transcription "printer Transcription" "click Cmd_Ok"
no_message
python3 - "$WORK/t.jsonl" "$AIDANT" <<'PY' || fail "emploi du temps imprimé"
import json, sys
ops = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
assert ops[0]["op"] == "start" and ops[0]["orientation"] == "landscape", ops[0]
assert ops[-1]["op"] == "end", ops[-1]
texts = [o for o in ops if o["op"] == "text"]
pages = max(o["page"] for o in texts)
heads = [o for o in texts if o["text"].startswith("  Aidant : " + sys.argv[2])]
assert len(heads) == pages, (len(heads), pages)
# The client's long name and address go on over the continuation lines: their ends are printed.
printed = " ".join(" ".join(o["text"].split()) for o in texts)
for end in ("ÉTIENNE Jean-Baptiste", "Édouard Herriot", "bâtiment C"):
    assert end in printed, end
print(f"emploi du temps : {pages} page(s)")
PY

editer Laser "printer Laser" "click Cmd_Ok"
no_message
head -c 5 "$WORK/l.pdf" | grep -q '%PDF-' || fail "le fichier PDF n'a pas été écrit"
if command -v pdfinfo >/dev/null; then
    pdfinfo "$WORK/l.pdf" | grep -q "842 x 595" || fail "PDF pas en paysage"
fi
[ -z "$PNG_OUT" ] || png_page "$WORK/l.pdf" "$PNG_OUT"
echo "bout en bout : réussi"
