#!/usr/bin/env bash
# Configures and builds the project in build/ (two parallel jobs): every target, or only those
# named (scripts/run.sh builds "product": the programs, plugins and documents, not the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
# ORV_WERROR=ON (continuous integration) turns compiler warnings into errors.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_WERROR="${ORV_WERROR:-OFF}" >/dev/null
cmake --build build -j2 ${1:+--target "$@"}
