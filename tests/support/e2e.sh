# Shared pieces of the end-to-end scripts, sourced by them (bash):
#   . "$(dirname "$0")/../support/e2e.sh"
# Needs ORV_BIN_DIR (or BIN) naming the folder of the programs. Gives:
#   $BIN, $WORK (a scratch folder removed at exit; KEEP_WORK=DIR uses DIR and keeps it, to
#   look at what a failing run left), headless Qt, no installed printer;
#   fail MESSAGE             stop the script with an error;
#   demo_db PATH [ARGS...]   build a demo database (orvanelle-db demo ARGS);
#   run_module DB USER PASSWORD IDENTIFIER [ARGS...] < SCRIPT
#                            run orvanelle-module with the automation script read from
#                            standard input; output in $WORK/out, errors in $WORK/err;
#   no_message               fail when the last run showed a message box;
#   db_attribute DB FILE KEY N   attribute N of a record as stored.
set -euo pipefail

BIN=${BIN:-${ORV_BIN_DIR:?ORV_BIN_DIR must name the folder of the programs}}
WORK=${KEEP_WORK:-$(mktemp -d)}
[ -n "${KEEP_WORK:-}" ] || trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ORVANELLE_SYSTEM_PRINTERS=0
export ORVANELLE_PLUGIN_PATH=${ORVANELLE_PLUGIN_PATH:-$BIN/../lib}

fail() { echo "ÉCHEC : $*" >&2; exit 1; }

demo_db() {
    local db=$1
    shift
    "$BIN/orvanelle-db" --db "$db" demo "$@" >/dev/null 2>&1 || fail "base de démonstration impossible"
}

run_module() {
    local db=$1 user=$2 password=$3 identifier=$4
    shift 4
    cat >"$WORK/script.txt"
    echo "$password" | timeout 120 "$BIN/orvanelle-module" --db "$db" --user "$user" \
        --password-stdin "$identifier" "$@" --script "$WORK/script.txt" >"$WORK/out" 2>"$WORK/err" ||
        { cat "$WORK/err" >&2; fail "orvanelle-module a échoué ($identifier)"; }
}

no_message() {
    if grep -q '"message"' "$WORK/out"; then
        cat "$WORK/out" >&2
        fail "message inattendu"
    fi
}

db_attribute() {
    "$BIN/orvanelle-db" --db "$1" read "$2" "$3" |
        python3 -c "import json,sys; a=json.load(sys.stdin); n=$4; print(a[n-1] if len(a)>=n else '')"
}
