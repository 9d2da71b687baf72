#!/usr/bin/env bash
# Fuzzes the parsers with libFuzzer: selection statements, dictionary items, exchange lines, the
# INI file and automation scripts. Builds them with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (a folder of its own), then runs each target for
# SECONDS (60 by default) from its seed corpus in fuzz/corpus/. New inputs go to
# build-fuzz/corpus/, crashing ones to build-fuzz/crashes/. Exit code 1 when a target failed.
#   scripts/fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
DURATION=${1:-60}
BUILD=build-fuzz
TARGETS=(fuzz_query fuzz_dict fuzz_jsonl fuzz_ini fuzz_script)
SANITIZERS="-fsanitize=address,undefined -fno-sanitize-recover=undefined"

# clang (libFuzzer) is needed here only, so the fuzzing script installs it, not deps.sh.
if ! command -v clang++ >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq clang ||
        exit 1
fi
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $SANITIZERS" \
    -DCMAKE_EXE_LINKER_FLAGS="$SANITIZERS" -DCMAKE_SHARED_LINKER_FLAGS="$SANITIZERS" >/dev/null ||
    exit 1
cmake --build "$BUILD" -j2 --target "${TARGETS[@]}" || exit 1

export QT_QPA_PLATFORM=offscreen
# Qt's own allocations live until exit: leaks are not what these targets look for.
export ASAN_OPTIONS=detect_leaks=0
failed=0
for target in "${TARGETS[@]}"; do
    corpus="$BUILD/corpus/$target"
    crashes="$BUILD/crashes/$target"
    mkdir -p "$corpus" "$crashes"
    cp -n fuzz/corpus/"$target"/* "$corpus"/
    "$BUILD/bin/$target" -max_total_time="$DURATION" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" >"$BUILD/$target.log" 2>&1
    status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$BUILD/$target.log" | grep -o '[0-9]*$')
    found=$(find "$crashes" -type f | wc -l)
    echo "$target : ${runs:-?} entrées essayées, $found entrée(s) en échec, code $status"
    [ "$status" -ne 0 ] && failed=1
done
exit $failed
