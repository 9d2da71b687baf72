#!/bin/bash
# End to end: orvanelle-module without an identifier, on the demo database. From the Modules
# window, with the mouse as an office worker would: the absence chart of a month grouped by
# sector, a helper's timetable for four weeks, and a helper's leave tally on one of her
# contracts. Each gives exactly what the command-line form gives for the same members
# (transcripts and windows compared). Then the rights: a module greyed for a user without its
# key. Usage: e2e_modules.sh [BIN_DIR]
BIN=${1:-${ORV_BIN_DIR:-}}
. "$(dirname "$0")/../support/e2e.sh"

export ORVANELLE_TODAY=2006-02-15
export XDG_CONFIG_HOME=$WORK/config
export ORVANELLE_PRINTERS="Trace=transcript:$WORK/t.jsonl;Laser=pdf:$WORK/l.pdf"
DB=$WORK/demo.orvdb
demo_db "$DB"

# Runs the Modules window as USER with the script read from standard input.
modules() {
    cat >"$WORK/script.txt"
    echo "$2" | timeout 120 "$BIN/orvanelle-module" --db "$DB" --user "$1" --password-stdin \
        --script "$WORK/script.txt" >"$WORK/out" 2>"$WORK/err" ||
        { cat "$WORK/err" "$WORK/out" >&2; fail "fenêtre des modules ($1)"; }
}
# Prints a widget's JSON member from the last dump that shows it: widget NAME MEMBER
widget() {
    python3 - "$WORK/out" "$1" "$2" <<'PY'
import json, sys
dumps = [json.loads(l) for l in open(sys.argv[1]) if '"windows"' in l]
for dump in reversed(dumps):
    for w in dump["windows"]:
        for x in w["widgets"]:
            if x["name"] == sys.argv[2]:
                print(json.dumps(x.get(sys.argv[3]), ensure_ascii=False))
                sys.exit(0)
sys.exit("absent : " + sys.argv[2])
PY
}
jour() { python3 -c "import datetime as d; print((d.date.fromisoformat('$1') - d.date(1967, 12, 31)).days)"; }
same_transcript() {  # same_transcript A B WHAT
    cmp -s "$1" "$2" || { diff <(head -c 3000 "$1") <(head -c 3000 "$2") >&2; fail "$3 : impressions différentes"; }
}

# 1. The absence report of March 2006 grouped by sector, from the Modules window, to the
#    transcript printer; then the same members on the command line.
modules DIRECTION direction <<'S'
dump
pick Lst_Modules Absences des aidants
click Cmd_Ouvrir
clear Txt_Du
type Txt_Du 01/03/2006
clear Txt_Au
type Txt_Au 31/03/2006
click Opt_Secteur
pick Cbo_Imprimante Trace
dump
click Cmd_Ok
S
no_message
[ "$(widget Lst_Modules rows | python3 -c 'import json,sys; print(len(json.load(sys.stdin)))')" = 6 ] ||
    fail "six modules attendus"
[ -s "$WORK/t.jsonl" ] || fail "absences : rien d'imprimé"
mv "$WORK/t.jsonl" "$WORK/absences-fenetre.jsonl"
"$BIN/orvanelle-db" --db "$DB" absences --sector 01/03/2006 31/03/2006 >"$WORK/lignes.jsonl"
TRACE=$(widget Cbo_Imprimante index)
run_module "$DB" DIRECTION direction TraceAbsences.Ctr_Impression --set "W_Deb=$(jour 2006-03-01)" \
    --set "W_DateFin=$(jour 2006-03-31)" --set W_CongeAbsence=0 --set W_Secteur=-1 \
    --set W_Commune=0 --set "W_Res=$TRACE" --set "Requete=@$WORK/lignes.jsonl" </dev/null
same_transcript "$WORK/absences-fenetre.jsonl" "$WORK/t.jsonl" "absences"
grep -q '"text":"Secteur"' "$WORK/t.jsonl" || fail "absences : pas de regroupement par secteur"
echo "absences : mêmes impressions ($(wc -l <"$WORK/t.jsonl") opérations)"

# The form remembered the user's period and printer.
modules DIRECTION direction <<'S'
pick Lst_Modules Absences des aidants
click Cmd_Ouvrir
dump
click Cmd_Annuler
S
[ "$(widget Txt_Du text)" = '"01/03/2006"' ] || fail "période non retenue : $(widget Txt_Du text)"
[ "$(widget Cbo_Imprimante index)" = "$TRACE" ] || fail "imprimante non retenue"
rm -f "$WORK/t.jsonl"

# 2. A helper's timetable over four weeks.
DEBUT=$(jour 2006-02-13)
FIN=$(jour 2006-03-12)
AIDANT=$("$BIN/orvanelle-db" --db "$DB" query --fields 4 \
    "SSELECT PLANNING AVEC JourPlanning >= \"$DEBUT\" AND AVEC JourPlanning <= \"$FIN\"" |
    python3 -c "import sys; print(sorted(l.split()[-1] for l in sys.stdin if l.strip())[0])")
modules DIRECTION direction <<S
pick Lst_Modules Emploi du temps des aidants
click Cmd_Ouvrir
type Txt_CodAidant $AIDANT
clear Txt_DateVal
type Txt_DateVal 13/02/2006
click Cmd_Ok
printer Trace
click Cmd_Ok
S
no_message
[ -s "$WORK/t.jsonl" ] || { cat "$WORK/out" >&2; fail "emploi du temps : rien d'imprimé"; }
mv "$WORK/t.jsonl" "$WORK/emploi-fenetre.jsonl"
printf '%s\n' "printer Trace" "click Cmd_Ok" | run_module "$DB" DIRECTION direction \
    HoraireAidants.Ctr_EditEmplTps --arg "W_CodAidant=$AIDANT" --arg W_User=DIRECTION \
    --arg "W_DateVal=$DEBUT" --arg "w_datefintemp=$FIN" --set W_SansMail=0 --set W_SansTlgMobile=0
same_transcript "$WORK/emploi-fenetre.jsonl" "$WORK/t.jsonl" "emploi du temps"
echo "emploi du temps : mêmes impressions ($(wc -l <"$WORK/t.jsonl") opérations)"

# 3. Helper 00101's tally on her first contract: the control's window as the command line
#    shows it.
CONTRAT=$("$BIN/orvanelle-db" --db "$DB" query 'SSELECT CONTRAT AVEC 0 = "00101*]"' | head -n 1)
modules DIRECTION direction <<'S'
pick Lst_Modules Solde des congés
click Cmd_Ouvrir
type Txt_CodAidant 00101
pick Lst_Contrats 0
click Cmd_Ok
dump
S
no_message
for w in Etq_Aidant Etq_Employeur Txt_CPAcquis Lst_DebutN0 Lst_NbJoursN0 Txt_CPAcquisN1; do
    widget $w text >>"$WORK/solde-fenetre.txt"
    widget $w items >>"$WORK/solde-fenetre.txt"
done
NOM=$(widget Etq_Aidant text | python3 -c 'import json,sys; print(json.load(sys.stdin).split("  ",1)[1])')
EMPLOYEUR=$(widget Etq_Employeur text | python3 -c 'import json,sys; print(json.load(sys.stdin))')
echo dump | run_module "$DB" DIRECTION direction SoldeConges.Ctr_SoldeConges \
    --set W_CodeAidant=00101 --set "W_NomPrenom=$NOM" --set "W_CodeEmployeur=${EMPLOYEUR%%  *}" \
    --set "W_NomEmployeur=${EMPLOYEUR#*  }" --set "W_CodeContrat=$CONTRAT" --set W_NumMotif=14
for w in Etq_Aidant Etq_Employeur Txt_CPAcquis Lst_DebutN0 Lst_NbJoursN0 Txt_CPAcquisN1; do
    widget $w text >>"$WORK/solde-ligne.txt"
    widget $w items >>"$WORK/solde-ligne.txt"
done
cmp -s "$WORK/solde-fenetre.txt" "$WORK/solde-ligne.txt" ||
    { diff "$WORK/solde-fenetre.txt" "$WORK/solde-ligne.txt" >&2; fail "solde : fenêtres différentes"; }
echo "solde de congés : même fenêtre (contrat $CONTRAT)"

# 4. Rights: STAGIAIRE has no key: every module greyed, "Ouvrir" disabled. ACCUEIL (level 1 on
#    COMPTEURFACT) opens the counters without their "OK" button.
modules STAGIAIRE stagiaire <<'S'
pick Lst_Modules Compteurs de facturation
dump
S
[ "$(widget Cmd_Ouvrir enabled)" = false ] || fail "module ouvert sans droits"
modules ACCUEIL accueil <<'S'
pick Lst_Modules Compteurs de facturation
click Cmd_Ouvrir
dump
S
[ "$(widget Cmd_OK visible)" = false ] || fail "niveau 1 : le bouton OK est visible"
[ "$(widget Cmd_Retour visible)" = true ] || fail "niveau 1 : les compteurs ne sont pas ouverts"
echo "droits : modules grisés sans clé, lecture seule au niveau 1"
