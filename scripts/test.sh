#!/usr/bin/env bash
# Build everything and run every test headless.  Pass --sanitize to build and
# test with AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    flags=(-DCMAKE_BUILD_TYPE=Debug -DFIGHTER_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=1
    export LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp"
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
cd "$dir"
ctest --output-on-failure -j"$(nproc)"

# The game in a web page, in headless Chromium (not with --sanitize).
cd ..
[ "${1:-}" = "--sanitize" ] || scripts/web-test.sh
