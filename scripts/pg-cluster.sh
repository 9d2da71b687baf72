#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests.
#   pg-cluster.sh start DIR [PORT [ADDRESS]]
#                                    initdb into a temporary folder, listen on 127.0.0.1:PORT (a
#                                    free port when PORT is missing or "auto") and on a socket in
#                                    that folder, SCRAM passwords for every connection, an
#                                    administrative role orv_admin with a random password; also
#                                    on ADDRESS, accepting clients of its /24 network.
#   pg-cluster.sh restart DIR        stops the server, ending every connection, and starts it.
#   pg-cluster.sh stop DIR           stops the cluster and removes its folder.
# DIR receives what a client needs: "env" (PGHOST, PGPORT, PGUSER, PGPASSWORD lines) and "data"
# (the path of the cluster folder). initdb refuses to run as root: root runs the server as the
# "postgres" user of the Debian package.
set -euo pipefail
action=${1:?start|restart|stop}
dir=${2:?folder}
port=${3:-auto}
address=${4:-}

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
[ -n "$bindir" ] && [ -x "$bindir/initdb" ] || { echo "PostgreSQL server not installed (Debian package postgresql)" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# shellcheck source=free-port.sh
source "$(dirname "${BASH_SOURCE[0]}")/free-port.sh"

case "$action" in
start)
    mkdir -p "$dir"
    [ -f "$dir/data" ] && "$0" stop "$dir" || true
    mkdir -p "$dir"
    [ "$port" = auto ] && port=$(free_port)
    data=$(mktemp -d /tmp/orv-pg-XXXXXX)
    password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    [ "$(id -u)" -eq 0 ] && chown postgres: "$data"
    chmod 700 "$data"
    printf '%s\n' "$password" > "$data/pwfile"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$data/pwfile"
    as_owner "$bindir/initdb" -D "$data/cluster" -U orv_admin --pwfile="$data/pwfile" \
        --auth=scram-sha-256 -E UTF8 --locale=C >"$data/initdb.log"
    rm -f "$data/pwfile"
    {
        echo "listen_addresses = '127.0.0.1${address:+,$address}'"
        echo "port = $port"
        echo "unix_socket_directories = '$data'"
        echo "max_connections = 200"
        echo "fsync = off"
        echo "synchronous_commit = off"
    } | as_owner tee -a "$data/cluster/postgresql.conf" >/dev/null
    if [ -n "$address" ]; then
        echo "host all all ${address%.*}.0/24 scram-sha-256" | as_owner tee -a "$data/cluster/pg_hba.conf" >/dev/null
    fi
    as_owner "$bindir/pg_ctl" -D "$data/cluster" -l "$data/server.log" -w -t 60 start >/dev/null
    echo "$data" > "$dir/data"
    printf 'PGHOST=127.0.0.1\nPGPORT=%s\nPGUSER=orv_admin\nPGPASSWORD=%s\n' "$port" "$password" > "$dir/env"
    chmod 600 "$dir/env"
    echo "PostgreSQL test cluster on 127.0.0.1:$port ($data)"
    ;;
restart)
    data=$(cat "$dir/data")
    as_owner "$bindir/pg_ctl" -D "$data/cluster" -m fast -w stop >/dev/null
    as_owner "$bindir/pg_ctl" -D "$data/cluster" -l "$data/server.log" -w -t 60 start >/dev/null
    ;;
stop)
    [ -f "$dir/data" ] || exit 0
    data=$(cat "$dir/data")
    if [ -d "$data/cluster" ]; then
        as_owner "$bindir/pg_ctl" -D "$data/cluster" -m fast -w stop >/dev/null || true
    fi
    rm -rf "$data" "$dir/data" "$dir/env"
    ;;
*)
    echo "usage: $0 start|restart|stop DIR [PORT [ADDRESS]]" >&2
    exit 2
    ;;
esac
