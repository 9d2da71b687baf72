#!/bin/bash
# End to end: the electronic invoice selection hosted by orvanelle-module on the demo database,
# with the export edit control. Each run chooses criteria and presses OK; the export file must
# hold, in order, exactly the invoices the statement selects, each line as `orvanelle-db dump`
# writes it; an empty selection exports nothing and keeps the last request.
. "$(dirname "$0")/../support/e2e.sh"
export ORVANELLE_TODAY=2006-04-15
export USER=essai
export ORVANELLE_EXPORT=$WORK/envois
db=$WORK/demo.orvdb
Q='"'

module() { run_module "$db" DIRECTION direction ArchivesEnvoi.Ctr_RepDemat; }

# Checks that the export file of the receipt in TEMPO holds the invoices of statement $1, in its
# order, each line identical to the dumped record, and that the user was told.
check_export() {
    "$BIN/orvanelle-db" --db "$db" query "$1" > "$WORK/attendu"
    [ -s "$WORK/attendu" ] || fail "la sélection attendue est vide"
    file=$(db_attribute "$db" TEMPO ARCHIVEFACTESSAI 1)
    case $file in "$ORVANELLE_EXPORT"/*.jsonl) ;; *) fail "fichier d'export : $file" ;; esac
    "$BIN/orvanelle-db" --db "$db" dump ARCHIVEFACT > "$WORK/dump"
    python3 - "$file" "$WORK/attendu" "$WORK/dump" <<'PY' || fail "export différent de la sélection"
import json, sys
lines = [l.rstrip("\n") for l in open(sys.argv[1], encoding="utf-8") if l.strip()]
expected = [l.strip() for l in open(sys.argv[2], encoding="utf-8") if l.strip()]
dump = {json.loads(l)["key"]: l.rstrip("\n") for l in open(sys.argv[3], encoding="utf-8")}
keys = [json.loads(l)["key"] for l in lines]
if keys != expected:
    sys.exit("clés %s, attendues %s" % (keys[:5], expected[:5]))
for key, line in zip(keys, lines):
    if line != dump[key]:
        sys.exit("ligne de %s différente du dump" % key)
PY
    count=$(wc -l < "$WORK/attendu" | tr -d ' ')
    grep -q "\"message\":\"$count factures ont été exportées" "$WORK/out" ||
        fail "pas de message d'export : $(cat "$WORK/out")"
    [ "$(db_attribute "$db" TEMPO ARCHIVEFACTESSAI 2)" = "$count" ] || fail "nombre de factures du reçu"
}

request() { "$BIN/orvanelle-db" --db "$db" read TEMPO REQUETEFACTESSAI; }

demo_db "$db"

# 1. Entity 001, January to March 2006, one responsible, names from B to M, sorted by town.
module <<'SCRIPT'
pick Cbo_PeriodeMois1 Janvier
pick Cbo_PeriodeMois2 Mars
type Txt_CodAssoc 001
pick Cbo_Select DUMONT Claire
type Txt_BorneDeb b
leave Txt_BorneDeb
type Txt_BorneFin m
leave Txt_BorneFin
click Opt_TriCom
click Cmd_Ok
SCRIPT
check_export "SSELECT ARCHIVEFACT AVEC AssocArcFact = ${Q}001${Q} AND AVEC PeriodeArcFact >= ${Q}200601${Q} AND AVEC PeriodeArcFact <= ${Q}200603${Q} AND AVEC ActiviteArcFact = ${Q}P${Q} AND AVEC CodeRespArcFact = ${Q}001${Q} AND AVEC NomAideArcFact >= ${Q}B]${Q} AND AVEC NomAideArcFact <= ${Q}M]${Q} PAR LibComArcFact PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID"
[ "$(request)" = '[["001","200603","P","Resp","001","Aide","B","M","0","Comm"]]' ] ||
    fail "demande enregistrée : $(request)"

# 2. Entity 012 "Mandataire", every sector, invoice numbers 250 to 300, billing address then sector.
module <<'SCRIPT'
pick Cbo_PeriodeMois1 Janvier
clear Txt_AnneeDeb
type Txt_AnneeDeb 2005
type Txt_CodAssoc 012
click Opt_Mandataire
click Opt_Sect
click Opt_NumFact
type Txt_BorneDeb 250
leave Txt_BorneDeb
type Txt_BorneFin 300
leave Txt_BorneFin
click Opt_TriSect
check Cac_TriAdrFact on
click Cmd_Ok
SCRIPT
[ "$(ls "$ORVANELLE_EXPORT" | wc -l)" -eq 2 ] || fail "le deuxième export a remplacé le premier"
check_export "SSELECT ARCHIVEFACT AVEC AssocArcFact = ${Q}012${Q} AND AVEC PeriodeArcFact >= ${Q}200501${Q} AND AVEC PeriodeArcFact <= ${Q}200604${Q} AND AVEC ActiviteArcFact = ${Q}M${Q} AND AVEC CodeSectArcFact <> ${Q}${Q} AND AVEC NumFactArcFact >= ${Q}0000000250]${Q} AND AVEC NumFactArcFact <= ${Q}0000000300]${Q} PAR ComAdrArcFact PAR NomAdrArcFact PAR CodeSectArcFact PAR NomAideArcFact PAR PrenomAideArcFact PAR @ID"
[ "$(request)" = '[["012","200604","M","Sect","","NumFact","0000000250","0000000300","1","Sect"]]' ] ||
    fail "demande enregistrée : $(request)"

# 3. Nothing invoiced in 1990: the message, no export, the last request kept, the control open.
before=$(request)
module <<'SCRIPT'
clear Txt_AnneeDeb
type Txt_AnneeDeb 1990
clear Txt_AnneeFin
type Txt_AnneeFin 1990
type Txt_CodAssoc 001
click Cmd_Ok
dump
SCRIPT
grep -q '"message":"Pas de facture correspondant aux critères sélectionnés."' "$WORK/out" ||
    fail "pas de message de sélection vide"
[ "$(ls "$ORVANELLE_EXPORT" | wc -l)" -eq 2 ] || fail "une sélection vide a exporté"
[ "$(request)" = "$before" ] || fail "une sélection vide a écrit la demande"
grep -q '"name": *"Txt_CodAssoc"' "$WORK/out" || fail "le contrôle ne reste pas ouvert"
echo "ArchivesEnvoi de bout en bout : OK"
