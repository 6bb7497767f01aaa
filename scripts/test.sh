#!/usr/bin/env bash
# Build everything and run every test headless, on classic SDL 1.2 and again
# on sdl12-compat (SDL 1.2 on top of SDL2, what most distributions now ship).
# Pass --sanitize to build and test with AddressSanitizer and
# UndefinedBehaviorSanitizer instead.
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
# The suite is switched on whatever an earlier configure left in the cache,
# and ctest fails when it finds no test: this command never passes untested.
cmake -S . -B "$dir" -DFIGHTER_TESTS=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
cd "$dir"

# Runs the suite on the SDL 1.2 found in the folder $1 ("" for the system's
# own), after checking that the game really loads that one.
run_suite() {
    local folder=$1 name=$2 loaded start
    loaded=$(LD_LIBRARY_PATH="$folder" ldd ./fighter | awk '/libSDL-1\.2/ {print $3}')
    if [ -n "$folder" ]; then
        [[ "$loaded" == "$folder"/* ]] || { echo "the game loads $loaded, not $name"; exit 1; }
    else
        [[ "$loaded" != */sdl12-compat/* ]] || { echo "the game loads $loaded, not $name"; exit 1; }
    fi
    echo "== the suite on $name ($loaded)"
    start=$SECONDS
    LD_LIBRARY_PATH="$folder" ctest --output-on-failure --no-tests=error -j"$(nproc)"
    echo "== $name: $((SECONDS - start)) s"
}

compat=$(dpkg -L libsdl1.2-compat | grep '/sdl12-compat/libSDL-1\.2\.so\.0$' | xargs dirname)
run_suite "" "classic SDL 1.2"
run_suite "$compat" "sdl12-compat"

cd ..
# The Debian package: lintian and the desktop checks, then installed, played
# from a temporary folder and removed (with root or sudo), and a DESTDIR
# install played the same way (not with --sanitize).
[ "${1:-}" = "--sanitize" ] || scripts/install-test.sh "$dir"

# The game in a web page, in headless Chromium (not with --sanitize).
[ "${1:-}" = "--sanitize" ] || scripts/web-test.sh
