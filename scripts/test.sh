#!/usr/bin/env bash
# Builds everything and runs every test: once as released, once under
# AddressSanitizer + UndefinedBehaviorSanitizer; then each fuzzer briefly.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

"$here/scripts/setup.sh" "$here/build" -DVELDRON_WERROR=ON

# Every C++ file as .clang-format lays it out.
(cd "$here" && git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror)
ctest --test-dir "$here/build" --output-on-failure --timeout 600

"$here/scripts/setup.sh" "$here/build-asan" -DVELDRON_SANITIZE=ON -DVELDRON_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Debug
# Qt and fontconfig keep caches for the life of the process; leaks are not what we look for here.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$here/build-asan" --output-on-failure --timeout 1200

# The fuzzers, 15 s each: libFuzzer with clang, under the same sanitizers.
"$here/fuzz/run.sh" "$here/build-fuzz" 15
