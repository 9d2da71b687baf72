#!/usr/bin/env bash
# The include graph of the layers: for each layer, the layers its files include, and a failure
# for any include of a layer it may not use (a lower layer never includes a higher one).
# docs/ARCHITECTURE.md gives the same table. --graph prints the graph only.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
    [engine]="engine"
    [routines]="engine schema routines"
    [client]="engine routines client"
    [rights]="engine client rights"
    [platform]="engine client platform"
    [frame]="engine routines client rights platform schema frame"
    [controls]="engine routines client rights platform schema frame controls"
    [host]="engine routines client rights platform schema frame host"
    [menu]="engine routines client rights platform schema frame menu"
    [tools]="engine routines client rights schema host tools"
)
status=0
for layer in engine routines client rights platform frame controls host menu tools; do
    mapfile -t files < <(git ls-files "$layer/*.cpp" "$layer/*.h")
    # Layer of every include of the form "layer/file.h" (controls: "controls/name").
    mapfile -t used < <(grep -ho '#include "[a-z_]*/[a-z_]*' "${files[@]}" |
        sed 's/#include "//; s#^\(controls/[a-z_]*\)$#\1#; s#^\([a-z_]*\)/.*#\1#' | sort | uniq -c)
    printf '%-9s ->' "$layer"
    printf ' %s' "${used[@]}" | tr -s ' '
    echo
    [ "${1:-}" = --graph ] && continue
    for entry in "${used[@]}"; do
        target=${entry##* }
        [[ " ${allowed[$layer]} " == *" $target "* ]] && continue
        echo "  $layer n'a pas le droit d'inclure $target :" >&2
        grep -n "#include \"$target/" "${files[@]}" | sed 's/^/    /' >&2
        status=1
    done
done
# A control includes only its own folder among the controls.
for dir in controls/*/; do
    dir=${dir%/}
    if git ls-files "$dir/*.cpp" "$dir/*.h" | xargs -r grep -n '#include "controls/' |
        grep -v "#include \"$dir/" >&2; then
        echo "  $dir inclut un autre module" >&2
        status=1
    fi
done
# The engine is a generic database: it includes no Qt header (it links no Qt).
if git ls-files 'engine/*.cpp' 'engine/*.h' | xargs -r grep -n '#include <Q' >&2; then
    echo "  engine inclut Qt" >&2
    status=1
fi
exit $status
