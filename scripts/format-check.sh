#!/usr/bin/env bash
# Checks that every tracked C++ file follows .clang-format; lists those that do not and fails.
# `clang-format -i FILE` puts a file right.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "Fichiers hors du format de .clang-format (clang-format -i FICHIER) :" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "Format : ${#files[@]} fichiers C++ conformes."
