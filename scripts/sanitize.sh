#!/usr/bin/env bash
# Builds the engine, client and tools tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (a folder of its own) and runs them; orvanelle-db, which the tools tests run,
# is built the same way. Any error report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build-asan
FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
TESTS=(engine_tests engine_query_tests client_tests tools_tests)

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$FLAGS" \
    -DCMAKE_EXE_LINKER_FLAGS="$FLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$FLAGS" >/dev/null
cmake --build "$BUILD" -j2 --target "${TESTS[@]}" orvanelle-db

# The engine's suites run on the server store too: a throw-away cluster for this run.
export ORV_PG_CLUSTER="$PWD/$BUILD/pg-test-cluster"
bash scripts/pg-cluster.sh start "$ORV_PG_CLUSTER"
trap 'bash scripts/pg-cluster.sh stop "$ORV_PG_CLUSTER"' EXIT

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1
export ORV_BIN_DIR="$PWD/$BUILD/bin"
for test in "${TESTS[@]}"; do
    "$BUILD/bin/$test" --gtest_brief=1
done
