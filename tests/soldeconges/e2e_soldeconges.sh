#!/bin/bash
# End to end: the leave tally control hosted by orvanelle-module on the demo database (today
# fixed at 20 March 2006, pay period 200603). Opens the tally of helper 00101 under both of its
# contracts (one agreement counting working days, one ordinary working days), dumps both
# reference periods, checks the figures against the routine run by orvanelle-db call, clicks a
# row and leaves. DOCS_OUT=FOLDER also writes the guide's screenshot soldeconges.png there.
. "$(dirname "$0")/../support/e2e.sh"
export ORVANELLE_TODAY=2006-03-20
db=$WORK/demo.orvdb

# Opens the tally of helper 00101 under contract $1 with the script read from standard input.
open_tally() {
    run_module "$db" DIRECTION direction SoldeConges.Ctr_SoldeConges --set W_CodeAidant=00101 \
        --set "W_NomPrenom=FRANÇOIS Stéphane" --set W_CodeEmployeur=50001 \
        --set "W_NomEmployeur=NOËL Maëlle" --set "W_CodeContrat=$1" --set W_NumMotif=14
}
tally() {
    open_tally "$1"
    no_message
}

# Prints NAME=value for the widgets named on the command line, from the first dump of $WORK/out
# (lists as their entries joined by ";", then "@" and the selected index).
widgets() {
    python3 - "$WORK/out" "$@" <<'PY'
import json, sys
names = sys.argv[2:]
for line in open(sys.argv[1]):
    d = json.loads(line)
    if "windows" not in d:
        continue
    found = {x["name"]: x for w in d["windows"] for x in w["widgets"]}
    for n in names:
        x = found[n]
        if "items" in x:
            print(f'{n}={";".join(x["items"])}@{x["index"]}')
        else:
            print(f'{n}={x["text"]}' + ("" if x["enabled"] else " (grisé)"))
    break
PY
}

expect() {
    value=$(widgets "$1")
    [ "$value" = "$1=$2" ] || fail "attendu $1=$2, obtenu $value"
}

demo_db "$db"

# 1. Contract 00101*01, agreement 02: working days (the guide's screenshot).
tally '00101*01' <<SCRIPT
dump
capture $WORK/soldeconges.png Frm_Hote
pick Lst_TypeCongeN0 2
dump
click cmd_Retour
SCRIPT
screenshot soldeconges.png
# Both periods as the screen shows them.
widgets Etq_Aidant Etq_PeriodeRefN0 Etq_PediodeRefN1 Etq_JourAbsN0 Lst_DebutN0 Lst_FinN0 \
    Lst_TypeCongeN0 Lst_NbJoursN0 Txt_CPConsommesN0 Txt_CAConsommesN0 Txt_DLConsommesNO \
    Lst_DebutN1 Lst_FinN1 Lst_TypeCongeN1 Lst_NbJoursN1 Txt_CPConsommesN1 Txt_CPAcquisN1
expect Etq_Aidant "00101  FRANÇOIS Stéphane"
expect Etq_PeriodeRefN0 "01/06/2005 au 31/05/2006"
expect Etq_PediodeRefN1 "01/06/2006 au 31/05/2007"
expect Etq_JourAbsN0 "Jours ouvrés"
# 3 to 16 July 2006 Monday to Friday less 14 July; 9 to 11 October 2006.
expect Lst_DebutN1 "03/07/2006;09/10/2006@-1"
expect Lst_TypeCongeN1 "Congés payés;Congés reportés suite arrêt@-1"
expect Lst_NbJoursN1 "9;3@-1"
expect Txt_CPConsommesN1 "12"
# The click on a kind selected the same row in the four lists.
python3 - "$WORK/out" <<'PY' || fail "la ligne choisie n'est pas la même dans les quatre listes"
import json, sys
dumps = [json.loads(l) for l in open(sys.argv[1]) if '"windows"' in l]
found = {x["name"]: x for w in dumps[1]["windows"] for x in w["widgets"]}
sys.exit(0 if all(found[n]["index"] == 2 for n in
                  ("Lst_DebutN0", "Lst_FinN0", "Lst_TypeCongeN0", "Lst_NbJoursN0")) else 1)
PY

# The first paid leave of N0 (from 1 June 2005, day 13667) counts, through orvanelle-db call,
# the days its row lists.
first_days=$(widgets Lst_NbJoursN0 | sed 's/^[^=]*=//; s/[;@].*//')
[ -n "$first_days" ] || fail "aucun congé dans la période N0"
widgets Lst_TypeCongeN0 | grep -q '=Congés payés;' || fail "le premier congé de N0 n'est pas payé"
first_key=$("$BIN/orvanelle-db" --db "$db" query \
    'SSELECT ABSENCESAIDANT AVEC 0 = "0010114]" AND AVEC DebAbsAidant >= "13667" PAR DebAbsAidant' |
    head -1)
record=$("$BIN/orvanelle-db" --db "$db" read ABSENCESAIDANT "$first_key")
prepared=$(python3 -c "
import json, sys
a = json.loads(sys.argv[1]); key = sys.argv[2]
a += [''] * (11 - len(a)); a[9] = '00101*01'
print(json.dumps([key] + a))" "$record" "$first_key")
counted=$(echo "$prepared" | "$BIN/orvanelle-db" --db "$db" call CALCNBJOURABSENCE --record) ||
    fail "la routine a échoué"
[ "$counted" = "${first_days}00" ] ||
    fail "la routine compte $counted pour $first_key, la liste montre $first_days jours"

# 2. Contract 00101*02, agreement 01: ordinary working days, Monday to Saturday.
tally '00101*02' <<'SCRIPT'
dump
SCRIPT
expect Etq_JourAbsN1 "Jours ouvrables"
expect Lst_NbJoursN1 "11;3@-1"
expect Txt_CPConsommesN1 "14"

# 3. Five more days of paid leave in N0 (13 to 17 February 2006): twelve rows, more than the
# lists show. The wheel over "Type congé" scrolls the four lists as one table; a row picked
# in one is selected in all four and the shared scroll bar follows it.
for day in 13924 13925 13926 13927 13928; do
    python3 -c 'import json, sys; d = sys.argv[1]
print(json.dumps([d, d, "Congés payés", "EnC"] + [""] * 16 + [["O"], [d], "", [d], "", ["00101*01"]],
                 ensure_ascii=False))' "$day" |
        "$BIN/orvanelle-db" --db "$db" write ABSENCESAIDANT "0010114$day" || fail "congé $day"
done
tally '00101*01' <<'SCRIPT'
dump
scroll Lst_TypeCongeN0 1
dump
pick Lst_FinN0 10
dump
click cmd_Retour
SCRIPT
[ "$(widget 1 Bdv_AbsN0 visible)" = true ] && [ "$(widget 1 Bdv_AbsN0 maximum)" = 11 ] ||
    fail "barre de défilement N0 : $(widget 1 Bdv_AbsN0 visible) $(widget 1 Bdv_AbsN0 maximum)"
lists="Lst_DebutN0 Lst_FinN0 Lst_TypeCongeN0 Lst_NbJoursN0"
same() {  # same DUMP FIELD: the field, the same in the four lists of N0
    local first=
    for l in $lists; do
        v=$(widget "$1" "$l" "$2")
        [ -z "$first" ] && first=$v
        [ "$v" = "$first" ] || fail "vidage $1 : $2 de $l = $v, pas $first"
    done
    echo "$first"
}
[ "$(same 1 firstVisible)" = 0 ] || fail "les listes ne commencent pas à la première ligne"
[ "$(same 2 firstVisible)" -gt 0 ] || fail "la molette n'a pas fait défiler les listes"
[ "$(same 3 index)" = 10 ] || fail "la ligne choisie n'est pas la 11e dans les quatre listes"
same 3 firstVisible >/dev/null
[ "$(widget 3 Bdv_AbsN0 value)" = 10 ] || fail "la barre ne suit pas la ligne choisie"

# 4. Without the current pay period, each reference period asks for it once and says so.
"$BIN/orvanelle-db" --db "$db" delete PERIODESPAIE 1
open_tally '00101*01' <<'SCRIPT'
dump
SCRIPT
[ "$(grep -c '"message": *"Erreur lors de la lecture du fichier PERIODESPAIE"' "$WORK/out")" = 2 ] ||
    fail "messages PERIODESPAIE : $(grep '"message"' "$WORK/out")"
grep '"message"' "$WORK/out" | grep -q '"title": *"Message ORVANELLE"' || fail "titre du message"

# 5. An unknown routine through orvanelle-db call is refused with exit code 1.
if "$BIN/orvanelle-db" --db "$db" call INCONNUE x 2> "$WORK/err"; then fail "routine inconnue acceptée"; fi
grep -q INCONNUE "$WORK/err" || fail "message de routine inconnue : $(cat "$WORK/err")"
echo "SoldeConges de bout en bout : OK"
