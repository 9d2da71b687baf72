#!/bin/bash
# End to end through a real CUPS: the quarterly statement, the absence report and a helper's
# timetable printed by orvanelle-module on the queues of the test server (scripts/cups-test.sh):
# the generic laser driver with its 12-point hardware margins, the driver without margins and
# the A4 matrix printer. The PDFs that cups-pdf writes are read back: page size (pdfinfo) and
# every column heading and "Page : 1" (pdftotext -layout).
# Usage: e2e_cups.sh [BIN_DIR]; ORV_CUPS names the test server's folder. Without a
# server the script is skipped (exit 77), and fails under CI=true.
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

server=${ORV_CUPS:-}
if [ -z "$server" ] || [ ! -f "$server/env" ]; then
    reason=$(cat "$server/unavailable" 2>/dev/null || echo "ORV_CUPS not set")
    [ "${CI:-}" = true ] && fail "pas de serveur CUPS de test : $reason"
    echo "ignoré : pas de serveur CUPS de test ($reason)"
    exit 77
fi
export "$(cat "$server/env")"
CUPS_DATA=$(cat "$server/data")
export ORVANELLE_SYSTEM_PRINTERS=1
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config
mkdir -p "$HOME"
for tool in pdfinfo pdftotext lpstat; do
    command -v $tool >/dev/null || fail "$tool manque (paquets poppler-utils, cups-client)"
done

export ORVANELLE_TODAY=2005-02-15
demo_db "$WORK/demo.orvdb"
jour() { python3 -c "import datetime as d; print((d.date.fromisoformat('$1') - d.date(1967, 12, 31)).days)"; }

# Every report is printed and read back; what is wrong is told as it is found and fails the
# script at its end.
problems=()
probleme() {
    echo "  PROBLÈME : $*" >&2
    problems+=("$*")
}

# sortie QUEUE NAME: waits for the queue's job to be done and moves the PDF cups-pdf wrote to
# $WORK/NAME.pdf; false, with the messages shown, when no PDF comes.
sortie() {
    local queue=$1 pdf i
    for i in $(seq 300); do
        pdf=$(find "$CUPS_DATA/pdf/$queue" -name '*.pdf' -newer "$WORK/marque" | head -n 1)
        if [ -n "$pdf" ] && [ -z "$(lpstat -o "$queue" 2>/dev/null)" ]; then
            mv "$pdf" "$WORK/$2.pdf"
            return 0
        fi
        # Nothing in the queue and no file: nothing was sent.
        [ -n "$(lpstat -o "$queue" 2>/dev/null)" ] || [ "$i" -lt 50 ] || break
        sleep 0.1
    done
    probleme "$2 : aucun PDF de la file $queue ($(messages | tr '\n' ' '))"
    return 1
}

# verifier NAME ORIENTATION HEADING...: how the first page is printed, "landscape" or
# "portrait" as the reader holds the sheet (the sheet's size and rotation from pdfinfo; a
# landscape page on A4 fed portrait comes back with its text turned a quarter, which the boxes
# of its words show), then each heading in the text of the page.
verifier() {
    local name=$1 orientation=$2
    shift 2
    local seen
    pdftotext -f 1 -l 1 -bbox "$WORK/$name.pdf" "$WORK/$name.html"
    seen=$(python3 - "$(pdfinfo -f 1 -l 1 "$WORK/$name.pdf")" "$WORK/$name.html" <<'PY'
import re, sys
info, boxes = sys.argv[1], open(sys.argv[2], encoding="utf-8").read()
w, h = map(float, re.search(r"Page\s+1 size:\s+([\d.]+) x ([\d.]+)", info).groups())
rot = int(re.search(r"Page\s+1 rot:\s+(\d+)", info).group(1))
words = re.findall(r'xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]{4,})<', boxes)
turned = sum(1 for x0, y0, x1, y1, _ in words if float(y1) - float(y0) > float(x1) - float(x0))
if rot % 180:
    w, h = h, w
wide = (w > h) != (turned * 2 > len(words))
print(f"feuille {w:g} x {h:g} pt, texte {'tourné' if turned * 2 > len(words) else 'droit'} : "
      f"{'landscape' if wide else 'portrait'}")
PY
)
    echo "$name : $seen"
    [ "${seen##* }" = "$orientation" ] || probleme "$name : $seen, pas en $orientation"
    pdftotext -f 1 -l 1 -layout "$WORK/$name.pdf" "$WORK/$name.txt"
    for heading in "$@"; do
        grep -qF -- "$heading" "$WORK/$name.txt" || probleme "$name : « $heading » manque"
    done
}

# nom_travail NAME TEXT: the CUPS job was named after the report and its subject (cups-pdf
# writes the job's name as the PDF's title; its accents come back mangled, hence ASCII here).
nom_travail() {
    pdfinfo "$WORK/$1.pdf" | grep -q "^Title:.*$2" || probleme "$1 : travail CUPS mal nommé"
}

# The statement: entity 7, centre 17, the 4th quarter of 2003.
releve() {
    touch "$WORK/marque"
    run_module "$WORK/demo.orvdb" DIRECTION direction DeclarTrim.Ctr_ReleveDnt <<SCRIPT
type Txt_CodAssoc 7
key Txt_CodAssoc Enter
type Txt_CtrUrssaf 17
key Txt_CtrUrssaf Enter
pick Cbo_Trimestre 4ème TRIMESTRE 2003
printer $1
copies 1
click Cmd_Ok
SCRIPT
    sortie "$1" "releve-$1"
}
ENTETES_RELEVE=("Code" "Numéro affiliation" "Nom Prenom" "S.s" "CSG" "CRDS" "Form." "Ret." "ASSE-"
    "Prév." "Régul." "Total" "N.Exo" "IRCEM" "DIC" "Page : 1")
for queue in Laser SansMarges; do
    releve $queue && verifier "releve-$queue" landscape "${ENTETES_RELEVE[@]}"
done
nom_travail releve-Laser "DNT 007 17 4T2003"
# The matrix printer keeps its portrait A4 and prints every column, in condensed pitch.
releve Matricielle && verifier releve-Matricielle portrait "${ENTETES_RELEVE[@]}" "Total général"

# The absence report over eight weeks; W_Res is the queue's place among the installed printers.
DEB=$(jour 2005-02-07)
FIN=$((DEB + 55))
"$BIN/orvanelle-db" --db "$WORK/demo.orvdb" absences 07/02/2005 03/04/2005 --sector \
    >"$WORK/lignes.jsonl" || fail "orvanelle-db absences"
absences() {
    local res
    res=$(lpstat -e | sort | grep -nx "$1" | cut -d: -f1)
    touch "$WORK/marque"
    run_module "$WORK/demo.orvdb" DIRECTION direction TraceAbsences.Ctr_Impression \
        --set W_Deb=$DEB --set W_DateFin=$FIN --set W_CongeAbsence=0 --set W_Secteur=-1 \
        --set W_Commune=0 --set W_Res=$((res - 1)) --set "Requete=@$WORK/lignes.jsonl" </dev/null
    sortie "$1" "absences-$1"
}
ENTETES_ABSENCES=("CODE" "NOM PRENOM" "DEBUT" "SEMAINE(S)" "FIN" "Secteur" "Page : 1")
absences Laser && verifier absences-Laser landscape "${ENTETES_ABSENCES[@]}" &&
    nom_travail absences-Laser "Absences 07/02/2005 au 03/04/2005"
absences Matricielle && verifier absences-Matricielle portrait "${ENTETES_ABSENCES[@]}"

# A helper's timetable over four weeks, always landscape.
export ORVANELLE_TODAY=2006-02-15
demo_db "$WORK/emploi.orvdb"
DEBUT=$(jour 2006-02-13)
FINE=$(jour 2006-03-12)
AIDANT=$("$BIN/orvanelle-db" --db "$WORK/emploi.orvdb" query --fields 4 \
    "SSELECT PLANNING AVEC JourPlanning >= \"$DEBUT\" AND AVEC JourPlanning <= \"$FINE\"" |
    python3 -c "import sys; print(sorted(l.split()[-1] for l in sys.stdin if l.strip())[0])")
emploi() {
    touch "$WORK/marque"
    printf '%s\n' "printer $1" "click Cmd_Ok" |
        run_module "$WORK/emploi.orvdb" DIRECTION direction HoraireAidants.Ctr_EditEmplTps \
            --arg "W_CodAidant=$AIDANT" --arg W_User=DIRECTION --arg "W_DateVal=$DEBUT" \
            --arg "w_datefintemp=$FINE" --set W_SansMail=0 --set W_SansTlgMobile=0
    sortie "$1" "emploi-$1"
}
for queue in Laser Matricielle; do
    emploi $queue && verifier "emploi-$queue" landscape "EMPLOI DU TEMPS" "Jour" "Horaire" "Aidé" \
        "Tâches" "De" "Code" "Nom prénom/Tel" "Adresse" "Page : 1"
done
nom_travail emploi-Laser "Emploi du temps aidant $AIDANT du 13/02/2006 au 12/03/2006"
[ ${#problems[@]} -eq 0 ] || fail "${#problems[@]} problème(s) à l'impression par CUPS"
echo "bout en bout CUPS : réussi"
