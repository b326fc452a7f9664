#!/usr/bin/env bash
# Builds everything and runs every test: once as released, once under
# AddressSanitizer + UndefinedBehaviorSanitizer; then each fuzzer briefly.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

"$here/scripts/setup.sh" "$here/build" -DVELDRON_WERROR=ON
"$here/scripts/setup.sh" "$here/build-asan" -DVELDRON_SANITIZE=ON -DVELDRON_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Debug


# Every C++ file as .clang-format lays it out. The files are found without git,
# which an unpacked archive lacks; build trees (a CMakeCache.txt) are left out.
mapfile -t trees < <(find "$here" -mindepth 2 -name CMakeCache.txt -printf '%h\n')
prune=(-name '.?*')
for tree in "${trees[@]}"; do prune+=(-o -path "$tree"); done
find "$here" -mindepth 1 -type d \( "${prune[@]}" \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

ctest --test-dir "$here/build" --output-on-failure --timeout 600
# Qt and fontconfig keep caches for the life of the process; leaks are not what we look for here.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$here/build-asan" --output-on-failure --timeout 1200

# The fuzzers, 15 s each: libFuzzer with clang, under the same sanitizers.
"$here/fuzz/run.sh" "$here/build-fuzz" 15

# What the builds and scripts used must all come from setup.sh's package list,
# or a fresh machine would miss it while this one happens to have it.
/usr/bin/python3 "$here/scripts/check_packages.py" "$here/build" "$here/build-asan" "$here/build-fuzz"
