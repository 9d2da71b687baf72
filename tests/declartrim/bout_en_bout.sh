#!/bin/bash
# End to end: the demo database, orvanelle-module hosting DeclarTrim.Ctr_ReleveDnt driven by a
# script, a statement of several pages printed to a matrix transcript printer and to a PDF
# printer. Usage: bout_en_bout.sh [BIN_DIR] [PNG_OUT]  (PNG_OUT: the PDF's first page as PNG)
PNG_OUT=${2:-}
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

export ORVANELLE_TODAY=2005-02-15
export ORVANELLE_PRINTERS="Matricielle MATRIC=transcript:$WORK/m.jsonl;Laser=pdf:$WORK/l.pdf"

demo_db "$WORK/demo.orvdb" --scale 3

imprimer() {  # imprimer PRINTER: entity 7, centre 7, the proposed quarter, one copy
    run_module "$WORK/demo.orvdb" DIRECTION direction DeclarTrim.Ctr_ReleveDnt <<SCRIPT
type Txt_CodAssoc 7
key Txt_CodAssoc Enter
type Txt_CtrUrssaf 7
key Txt_CtrUrssaf Enter
printer $1
copies 1
click Cmd_Ok
SCRIPT
    no_message
}

imprimer "Matricielle MATRIC"
python3 - "$WORK/m.jsonl" <<'PY' || fail "relevé matriciel"
import json, sys
ops = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
assert ops[0]["op"] == "start" and ops[0]["orientation"] == "portrait", ops[0]
assert ops[-1]["op"] == "end", ops[-1]
texts = [o for o in ops if o["op"] == "text"]
pages = max(o["page"] for o in texts)
assert pages >= 3, pages
def amounts(t):
    cols = [t[57 + 7 * k:64 + 7 * k] for k in range(8)] + [t[113:121], t[121:129]]
    return [int(c) if c.strip() else 0 for c in cols]
rows = [o for o in texts if o["text"][:5].isdigit() and o["text"][5] == " "]
total = [sum(c) for c in zip(*(amounts(o["text"]) for o in rows))]
general = [o for o in texts if o["text"].strip().startswith("Total général")]
assert len(general) == 1 and amounts(general[0]["text"]) == total, (general, total)
reports = [o for o in texts if o["text"].strip().startswith("Report")]
assert len(reports) == pages - 1, len(reports)
assert all(o["y"] + 240 < 15600 for o in rows)
print(f"relevé matriciel : {pages} pages, {len(rows)} lignes, total {total[9]}")
PY

imprimer "Laser"
head -c 5 "$WORK/l.pdf" | grep -q '%PDF-' || fail "le fichier PDF n'a pas été écrit"
if command -v pdfinfo >/dev/null; then
    pages=$(pdfinfo "$WORK/l.pdf" | awk '/^Pages:/ {print $2}')
    [ "$pages" -ge 3 ] || fail "PDF de $pages page(s)"
    pdfinfo "$WORK/l.pdf" | grep -q "842 x 595" || fail "PDF pas en paysage"
    echo "relevé PDF : $pages pages en paysage"
fi
if [ -n "$PNG_OUT" ]; then
    pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$WORK/l.pdf" "${PNG_OUT%.png}"
    echo "première page : $PNG_OUT"
fi
echo "bout en bout : réussi"
