#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a while on its seeds and on
# what it mutates from them.
#   fuzz/run.sh [BUILD_DIR] [SECONDS_PER_FUZZER] [extra libFuzzer options...]
# New inputs collect in BUILD_DIR/corpus, never among the repository's seeds;
# a finding is saved in BUILD_DIR/findings and fails the script. Replay one
# with BUILD_DIR/<name>_fuzzer <file>.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build-fuzz"}
seconds=${2:-15}
shift 2 || shift $# || true

# CMake's file API lists the files the configure read, for scripts/check_packages.py.
mkdir -p "$build/.cmake/api/v1/query" && : >"$build/.cmake/api/v1/query/cmakeFiles-v1"
cmake -S "$here/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" >/dev/null
mkdir -p "$build/findings"
# Allocation stacks are not what these runs look for; without them a run is faster.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}

for fuzzer in free_format_reader whole_run; do
    corpus="$build/corpus/$fuzzer"
    mkdir -p "$corpus"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192
             -print_final_stats=1 -artifact_prefix="$build/findings/${fuzzer}-")
    [ -f "$here/fuzz/$fuzzer.dict" ] && options+=(-dict="$here/fuzz/$fuzzer.dict")
    log="$build/$fuzzer.log"
    if ! "$build/${fuzzer}_fuzzer" "${options[@]}" "$@" "$corpus" "$here/fuzz/corpus/$fuzzer" \
        >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "Fuzzer $fuzzer nasel chybu: $build/findings" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
    echo "Fuzzer $fuzzer: $runs behu, $coverage, bez nalezu"
done
