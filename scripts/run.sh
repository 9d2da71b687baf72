#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database when it does not exist yet, and
# starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh product
DB="${ORVANELLE_DEMO_DB:-$PWD/demo.orvdb}"
if [ ! -f "$DB" ]; then
    build/bin/orvanelle-db --db "$DB" demo
fi
if [ -x build/bin/MenuCadrius ]; then
    INI="$PWD/build/demo.ini"
    printf 'SERVEUR=localhost\nDémonstration=%s\n' "$DB" > "$INI"
    # The release notes built in build/doc open from the Help menu.
    ORVANELLE_INI="$INI" ORVANELLE_DATA_DIR="$PWD/build/doc" exec build/bin/MenuCadrius "$@"
fi
exec build/bin/orvanelle-db --db "$DB" shell
