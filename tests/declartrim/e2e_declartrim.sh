#!/bin/bash
# End to end: the demo database, orvanelle-module hosting DeclarTrim.Ctr_ReleveDnt driven by a
# script, a statement of several pages printed to a matrix transcript printer and to a PDF
# printer, then to a matrix PDF printer (132-column continuous form), and a statement whose last
# page is full. Usage: e2e_declartrim.sh [BIN_DIR] [DOCS_DIR]  (DOCS_DIR: where the first pages
# of the laser and matrix PDFs are written as PNG)
DOCS_OUT=${2:-}
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

export ORVANELLE_TODAY=2005-02-15
export ORVANELLE_PRINTERS="Matricielle MATRIC=transcript:$WORK/m.jsonl;Laser=pdf:$WORK/l.pdf;Listing MATRIC=pdf:$WORK/mp.pdf"

demo_db "$WORK/demo.orvdb" --scale 3

# imprimer PRINTER [CENTRE] [QUARTER] [DATABASE]: entity 7, one copy; by default centre 7, the
# proposed quarter and the scale-3 demo database.
imprimer() {
    run_module "${4:-$WORK/demo.orvdb}" DIRECTION direction DeclarTrim.Ctr_ReleveDnt <<SCRIPT
type Txt_CodAssoc 7
key Txt_CodAssoc Enter
type Txt_CtrUrssaf ${2:-7}
key Txt_CtrUrssaf Enter
${3:+pick Cbo_Trimestre $3}
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

# A matrix printer without paper of its own prints on the 132-column continuous form, portrait:
# every column heading and the page number are on the page.
imprimer "Listing MATRIC"
pdftotext -layout "$WORK/mp.pdf" "$WORK/mp.txt"
for titre in "Code" "Nom Prenom" "CSG" "CRDS" "Ret." "ASSE-" "Prév." "Régul." "Total" "Page : 1"; do
    grep -q -- "$titre" "$WORK/mp.txt" || fail "« $titre » manque sur le relevé matriciel PDF"
done
pdfinfo "$WORK/mp.pdf" | grep -Eq "1080 x 86[45]" || fail "le relevé matriciel PDF n'est pas sur le listing 15 x 12 pouces"
echo "relevé matriciel PDF : toutes les colonnes"

# Entity 7, centre 17, the 4th quarter of 2003 on the scale-1 demo: every page, the one with
# the closing lines included, carries its heading (the full-last-page case is in the unit
# tests, over every row count around a page's capacity).
demo_db "$WORK/demo1.orvdb"
imprimer "Laser" 17 "4ème TRIMESTRE 2003" "$WORK/demo1.orvdb"
pdftotext -layout "$WORK/l.pdf" "$WORK/l.txt"
python3 - "$WORK/l.txt" <<'PY' || fail "une page sans en-tête"
import sys
pages = open(sys.argv[1], encoding="utf-8").read().split("\f")
pages = [p for p in pages if p.strip()]
for n, p in enumerate(pages, 1):
    assert "Date :" in p and "Page : %d" % n in p and "Numéro affiliation" in p, n
assert "Total général" in pages[-1]
print(f"relevé du 4ème trimestre 2003 : {len(pages)} pages, toutes avec leur en-tête")
PY

if [ -n "$DOCS_OUT" ]; then
    pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$WORK/l.pdf" "$DOCS_OUT/declartrim_releve_page1"
    pdftoppm -f 1 -l 1 -r 60 -png -singlefile "$WORK/mp.pdf" "$DOCS_OUT/declartrim_releve_matriciel"
    echo "pages : $DOCS_OUT/declartrim_releve_page1.png, $DOCS_OUT/declartrim_releve_matriciel.png"
fi
echo "bout en bout : réussi"
