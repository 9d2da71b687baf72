#!/usr/bin/env bash
# A throw-away CUPS server for the tests, with three cups-pdf queues.
#   cups-test.sh start DIR [PORT]    a private cupsd (its own configuration folder, spool, logs
#                                    and cups-pdf output folders, in a temporary folder) on
#                                    127.0.0.1:PORT (a free port when PORT is missing or "auto");
#   cups-test.sh stop DIR            stops it and removes its folder.
# The queues, each writing its PDFs to pdf/<queue>/ of the server's folder:
#   Laser        the generic PostScript driver on A4, 12-point hardware margins (the default)
#   SansMarges   cups-pdf's own driver, no margins
#   Matricielle  a matrix printer ("MATRIC" in its name) on A4, with the generic driver
# DIR receives "env" (the CUPS_SERVER line) and "data" (the server's folder). When CUPS or
# cups-pdf cannot run here (not installed, not root), DIR receives "unavailable" with the reason
# and the script succeeds: the tests then skip, and fail under CI=true.
#
# The machine's CUPS set-up is never touched: cupsd reads only the files written here, and the
# cups-pdf backend, whose configuration folder is fixed at /etc/cups, runs in a mount namespace
# of its own where a private folder is mounted over /etc/cups.
set -euo pipefail
action=${1:?start|stop}
dir=${2:?folder}
port=${3:-auto}

# shellcheck source=free-port.sh
source "$(dirname "${BASH_SOURCE[0]}")/free-port.sh"

unavailable() {
    mkdir -p "$dir"
    echo "$1" > "$dir/unavailable"
    echo "CUPS test server not started: $1"
    exit 0
}

stop() {
    [ -f "$dir/data" ] || { rm -f "$dir/unavailable"; return 0; }
    local data
    data=$(cat "$dir/data")
    if [ -f "$data/cupsd.pid" ]; then
        local pid
        pid=$(cat "$data/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -rf "$data" "$dir/data" "$dir/env" "$dir/unavailable"
}

# The configuration of one cups-pdf queue: its own output folder, no automatic page rotation
# (the PDF shows the page as the program sent it).
cups_pdf_conf() {
    local out=$1
    cat <<EOF
Out $out
AnonDirName $out
Spool $data/pdf-spool
Log $data/log
LogType 3
Grp root
UserUMask 0022
TitlePref 1
GSCall %s -q -dCompatibilityLevel=%s -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="%s" -dAutoRotatePages=/None -dAutoFilterColorImages=false -dColorImageFilter=/FlateEncode -dPDFSETTINGS=/prepress -c -f %s
EOF
}

# queue NAME DRIVER DESCRIPTION [OPTIONS...]: a cups-pdf queue on A4. The PDF a program sends
# becomes PostScript for cups-pdf; pdftocairo keeps the text's characters on the way
# (ghostscript and pdftops turn the fonts into glyphs without them, which pdftotext cannot read
# back from the PDF that cups-pdf writes).
queue() {
    local name=$1 driver=$2 description=$3
    shift 3
    lpadmin -p "$name" -E -v "cups-pdf:/$name" -m "$driver" -o PageSize=A4 \
        -o pdftops-renderer-default=pdftocairo -D "$description" "$@" 2>>"$data/log/lpadmin" ||
        { cat "$data/log/lpadmin" >&2; stop; exit 1; }
}

start() {
    command -v cupsd >/dev/null && command -v lpadmin >/dev/null ||
        unavailable "CUPS is not installed (Debian packages cups, cups-client)"
    [ -e /usr/lib/cups/backend/cups-pdf ] ||
        unavailable "cups-pdf is not installed (Debian package printer-driver-cups-pdf)"
    [ "$(id -u)" -eq 0 ] || unavailable "the cups-pdf backend runs only under a root cupsd"
    unshare --mount --propagation private true 2>/dev/null ||
        unavailable "no private mount namespace for the cups-pdf configuration"
    [ "$port" = auto ] && port=$(free_port)
    data=$(mktemp -d /tmp/orv-cups-XXXXXX)
    chmod 755 "$data"
    mkdir -p "$data/etc/ppd" "$data/etc/ssl" "$data/spool/tmp" "$data/cache" "$data/state" \
        "$data/log" "$data/pdf-etc" "$data/pdf-spool" "$data/pdf"
    chmod 1777 "$data/spool/tmp" "$data/pdf-spool"
    cat > "$data/etc/cups-files.conf" <<EOF
ServerRoot $data/etc
RequestRoot $data/spool
TempDir $data/spool/tmp
CacheDir $data/cache
StateDir $data/state
AccessLog $data/log/access_log
ErrorLog $data/log/error_log
PageLog $data/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
SystemGroup root
EOF
    cat > "$data/etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
ServerName 127.0.0.1
LogLevel warn
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    for q in Laser SansMarges Matricielle; do
        mkdir -p "$data/pdf/$q"
        cups_pdf_conf "$data/pdf/$q" > "$data/pdf-etc/cups-pdf-$q.conf"
    done
    cups_pdf_conf "$data/pdf" > "$data/pdf-etc/cups-pdf.conf"
    # cupsd in the background, in its own mount namespace where cups-pdf reads the folder above.
    setsid unshare --mount --propagation private bash -c \
        'mount --bind "$1/pdf-etc" /etc/cups && exec cupsd -f -c "$1/etc/cupsd.conf" -s "$1/etc/cups-files.conf"' \
        _ "$data" > "$data/log/cupsd.out" 2>&1 < /dev/null &
    echo $! > "$data/cupsd.pid"
    echo "$data" > "$dir/data"
    export CUPS_SERVER=127.0.0.1:$port
    # lpstat -r succeeds whether the scheduler answers or not: its answer is what tells.
    running() { lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }
    for _ in $(seq 300); do running && break; sleep 0.1; done
    running || { cat "$data/log/cupsd.out" "$data/log/error_log" >&2 || true; stop; exit 1; }
    queue Laser drv:///sample.drv/generic.ppd "Laser du secrétariat" -L "Bureau 2"
    queue SansMarges lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd "PDF sans marges"
    queue Matricielle drv:///sample.drv/generic.ppd "Imprimante matricielle de la comptabilité (A4)"
    lpadmin -d Laser
    rm -f "$dir/unavailable"
    printf 'CUPS_SERVER=%s\n' "$CUPS_SERVER" > "$dir/env"
    echo "CUPS test server on $CUPS_SERVER ($data)"
}

case "$action" in
start)
    mkdir -p "$dir"
    stop
    start
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop DIR [PORT]" >&2
    exit 2
    ;;
esac
