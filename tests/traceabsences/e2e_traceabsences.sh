#!/bin/bash
# End to end: the demo database, its absence lines written by orvanelle-db absences, and
# orvanelle-module hosting TraceAbsences.Ctr_Impression with its members given by --set: the
# absence list grouped by sector on a transcript printer (checked page by page), on a colour and
# on a monochrome PDF printer, a user who sees two sectors only, and an empty list.
# Usage: e2e_traceabsences.sh [BIN_DIR] [PNG_DIR]  (PNG_DIR: first PDF pages as PNG)
PNG_DIR=${2:-}
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

export ORVANELLE_TODAY=2005-02-15
# Printer list: 0 the PDF printer, 1 the preview, then these (W_Res counts from 0).
export ORVANELLE_PRINTERS="Trace=transcript:$WORK/t.jsonl;Laser=pdf:$WORK/c.pdf;Laser N&B=pdf:$WORK/g.pdf:mono"
TRACE=2 COULEUR=3 GRIS=4

demo_db "$WORK/demo.orvdb" --scale 2
"$BIN/orvanelle-db" --db "$WORK/demo.orvdb" absences 07/02/2005 03/04/2005 --sector \
    >"$WORK/lignes.jsonl" || fail "orvanelle-db absences"
[ -s "$WORK/lignes.jsonl" ] || fail "aucune absence dans la base de démonstration"
DEB=$(python3 -c "import datetime as d; print((d.date(2005,2,7)-d.date(1967,12,31)).days)")
FIN=$((DEB + 55))

imprimer() {  # imprimer USER PASSWORD W_RES LINES_FILE
    run_module "$WORK/demo.orvdb" "$1" "$2" TraceAbsences.Ctr_Impression \
        --set W_Deb=$DEB --set W_DateFin=$FIN --set W_CongeAbsence=0 --set W_Secteur=-1 \
        --set W_Commune=0 --set W_Res=$3 --set "Requete=@$4" </dev/null
}

imprimer DIRECTION direction $TRACE "$WORK/lignes.jsonl"
no_message
python3 - "$WORK/t.jsonl" "$WORK/lignes.jsonl" <<'PY' || fail "liste des absences"
import json, sys
ops = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
lines = [json.loads(l) for l in open(sys.argv[2], encoding="utf-8")]
assert ops[0]["orientation"] == "landscape" and ops[-1]["op"] == "end", (ops[0], ops[-1])
pages = max(o["page"] for o in ops if "page" in o)
rows = {}
for o in ops:
    if o["op"] == "text" and o["size"] == 9:
        rows.setdefault((o["page"], o["y"]), "")
        rows[(o["page"], o["y"])] += o["text"]
bars = [o for o in ops if o["op"] == "fill" and o["y1"] > 3.5 * 567]
headings = [o for o in ops if o["op"] == "text" and o["text"] == "Secteur"]
assert len(rows) == len(lines), (len(rows), len(lines))
assert len(headings) == pages, (len(headings), pages)
for o in bars:
    assert 7 * 567 - 0.01 <= o["x1"] < o["x2"] <= 26.74 * 567 + 0.01, o
for page in range(1, pages + 1):
    n = sum(1 for p, _ in rows if p == page)
    assert 1 <= n <= 29, (page, n)
print(f"liste : {len(rows)} lignes, {len(bars)} barres, {pages} pages")
PY

# ACCUEIL sees sectors 001 and 002 only: fewer lines, none of another sector.
imprimer ACCUEIL accueil $TRACE "$WORK/lignes.jsonl"
no_message
python3 - "$WORK/t.jsonl" <<'PY' || fail "droits par secteur"
import json, sys
ops = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
names = [o["text"] for o in ops if o["op"] == "text" and o.get("size") == 12 and o["eol"]]
sectors = {t for t in names if t in ("Lyon centre", "Est lyonnais", "Villeurbanne",
           "Sud-Ouest lyonnais", "Vénissieux - Saint-Priest", "Nord-Ouest")}
assert sectors and sectors <= {"Lyon centre", "Est lyonnais"}, sectors
print("droits : secteurs", sorted(sectors))
PY

# Nothing to print: the job is cancelled and the user is told, under the library's title.
: >"$WORK/vide.jsonl"
imprimer DIRECTION direction $TRACE "$WORK/vide.jsonl"
grep -q 'Aucun aidant à éditer' "$WORK/out" || { cat "$WORK/out" >&2; fail "message absent"; }
grep -q '"TraceAbsences"' "$WORK/out" || fail "titre du message"
tail -1 "$WORK/t.jsonl" | grep -q '"cancel"' || fail "travail d'impression non annulé"

for p in "$COULEUR c" "$GRIS g"; do
    set -- $p
    imprimer DIRECTION direction "$1" "$WORK/lignes.jsonl"
    no_message
    head -c 5 "$WORK/$2.pdf" | grep -q '%PDF-' || fail "PDF $2 non écrit"
    if command -v pdfinfo >/dev/null; then
        pdfinfo "$WORK/$2.pdf" | grep -q "842 x 595" || fail "PDF $2 pas en paysage"
    fi
    [ -z "$PNG_DIR" ] || png_page "$WORK/$2.pdf" "$PNG_DIR/traceabsences_$2.png"
done
# Pages for the guide: a month of 31 days and a period of 26 weeks, every day charted.
if [ -n "$PNG_DIR" ]; then
    jour() { python3 -c "import datetime as d; print((d.datetime.strptime('$1', '%d/%m/%Y').date() - d.date(1967, 12, 31)).days)"; }
    for p in "01/03/2005 31/03/2005 mars" "04/10/2004 03/04/2005 26semaines"; do
        set -- $p
        "$BIN/orvanelle-db" --db "$WORK/demo.orvdb" absences "$1" "$2" --sector \
            >"$WORK/$3.jsonl" || fail "orvanelle-db absences $1 $2"
        DEB=$(jour "$1") FIN=$(jour "$2")
        imprimer DIRECTION direction $COULEUR "$WORK/$3.jsonl"
        no_message
        png_page "$WORK/c.pdf" "$PNG_DIR/traceabsences_$3.png"
    done
fi
echo "bout en bout : réussi"
