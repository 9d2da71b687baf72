# Shared pieces of the end-to-end scripts, sourced by them (bash):
#   . "$(dirname "$0")/../support/e2e.sh"
# Needs ORV_BIN_DIR (or BIN) naming the folder of the programs. Gives:
#   $BIN, $WORK (a scratch folder removed at exit; KEEP_WORK=DIR uses DIR and keeps it, to
#   look at what a failing run left), headless Qt, no installed printer, the user's data
#   folder ($XDG_DATA_HOME) in $WORK;
#   fail MESSAGE             stop the script with an error;
#   demo_db PATH [ARGS...]   build a demo database (orvanelle-db demo ARGS);
#   run_module DB USER PASSWORD IDENTIFIER [ARGS...] < SCRIPT
#                            run orvanelle-module with the automation script read from
#                            standard input; output in $WORK/out, errors in $WORK/err; DB is
#                            the database file, or its label in the INI file $E2E_INI when set;
#   run_menu INI LOGIN < SCRIPT  run MenuCadrius with the INI file INI, logged in by its one
#                            argument LOGIN ("label,user,password"), the automation script read
#                            from standard input; output in $WORK/out, errors in $WORK/err;
#   no_message               fail when the last run showed a message box;
#   widget N NAME [FIELD]    a field (default "text") of the widget NAME in the Nth dump of the
#                            last run, as JSON for lists (items, rows...), else as text;
#   messages                 the texts of the last run's message boxes, one a line;
#   db_attribute DB FILE KEY N   attribute N of a record as stored;
#   png_page PDF PNG         the first page of PDF as the picture PNG (80 dpi), for the guide;
#   screenshot NAME          fail unless $WORK/NAME (written by a script's `capture`) is a PNG
#                            picture; prints its size; copies it into the folder $DOCS_OUT names
#                            when set (the guide's screenshots: DOCS_OUT=docs).
set -euo pipefail

BIN=${BIN:-${ORV_BIN_DIR:?ORV_BIN_DIR must name the folder of the programs}}
WORK=${KEEP_WORK:-$(mktemp -d)}
[ -n "${KEEP_WORK:-}" ] || trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# What the programs keep per user (the menu's daily backups) stays in the scratch folder.
export XDG_DATA_HOME=$WORK/data
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
    local where=(--db "$db")
    [ -z "${E2E_INI:-}" ] || where=(--base "$db")
    cat >"$WORK/script.txt"
    echo "$password" | ORVANELLE_INI=${E2E_INI:-${ORVANELLE_INI:-}} timeout 120 \
        "$BIN/orvanelle-module" "${where[@]}" --user "$user" --password-stdin "$identifier" "$@" \
        --script "$WORK/script.txt" >"$WORK/out" 2>"$WORK/err" ||
        { cat "$WORK/err" >&2; fail "orvanelle-module a échoué ($identifier)"; }
}

run_menu() {
    local ini=$1 login=$2
    cat >"$WORK/script.txt"
    ORVANELLE_INI=$ini timeout 120 "$BIN/MenuCadrius" "$login" --script "$WORK/script.txt" \
        >"$WORK/out" 2>"$WORK/err" || { cat "$WORK/err" >&2; fail "MenuCadrius a échoué ($login)"; }
}

widget() {
    python3 - "$WORK/out" "$@" <<'PY'
import json, sys
path, n, name = sys.argv[1], int(sys.argv[2]), sys.argv[3]
field = sys.argv[4] if len(sys.argv) > 4 else "text"
dumps = [d for d in map(json.loads, filter(str.strip, open(path, encoding="utf-8"))) if "windows" in d]
found = [x for w in dumps[n - 1]["windows"] for x in w["widgets"] if x["name"] == name]
if not found:
    sys.exit("pas de contrôle %s dans le vidage %d" % (name, n))
value = found[0].get(field)
print(value if isinstance(value, str) else json.dumps(value, ensure_ascii=False))
PY
}

messages() {
    python3 -c '
import json, sys
for l in open(sys.argv[1], encoding="utf-8"):
    if l.startswith("{") and "\"message\"" in l:
        print(json.loads(l)["message"])' "$WORK/out"
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

png_page() {
    pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$1" "${2%.png}"
    echo "première page : $2"
}

screenshot() {
    python3 - "$WORK/$1" <<'PY' || fail "capture $1 : pas une image PNG"
import struct, sys
head = open(sys.argv[1], "rb").read(24)
if head[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit(1)
width, height = struct.unpack(">II", head[16:24])
print(f"capture {sys.argv[1].rsplit('/', 1)[-1]} : {width} x {height}")
PY
    [ -z "${DOCS_OUT:-}" ] || cp "$WORK/$1" "$DOCS_OUT/$1"
}
