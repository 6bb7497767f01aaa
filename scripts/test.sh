#!/usr/bin/env bash
# Build everything and run every test headless, on classic SDL 1.2 and again
# on sdl12-compat (SDL 1.2 on top of SDL2, what most distributions now ship).
# Then the hostile corpus once more under AddressSanitizer and
# UndefinedBehaviorSanitizer.  Pass --sanitize to build and test everything
# with the sanitizers instead.  Pass --under-load to run, instead of
# the suite, the load check: the tests that drive a real window, a page or
# the network, 10 times each on both SDL 1.2 builds (the pages: 10 times),
# while two CPU burners keep the machine busy (docs/testing.md).
set -euo pipefail
cd "$(dirname "$0")/.."
sanitize="" under_load=""
for arg in "$@"; do
    case $arg in
        --sanitize) sanitize=yes ;;
        --under-load) under_load=yes ;;
        *)
            echo "usage: scripts/test.sh [--sanitize] [--under-load]" >&2
            exit 2
            ;;
    esac
done
scripts/install-deps.sh
scripts/check-format.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ -n "$sanitize" ]; then
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
    shift 2
    loaded=$(LD_LIBRARY_PATH="$folder" ldd ./fighter | awk '/libSDL-1\.2/ {print $3}')
    if [ -n "$folder" ]; then
        [[ "$loaded" == "$folder"/* ]] || { echo "the game loads $loaded, not $name"; exit 1; }
    else
        [[ "$loaded" != */sdl12-compat/* ]] || { echo "the game loads $loaded, not $name"; exit 1; }
    fi
    echo "== the suite on $name ($loaded)"
    start=$SECONDS
    LD_LIBRARY_PATH="$folder" ctest --output-on-failure --no-tests=error -j"$(nproc)" "$@"
    echo "== $name: $((SECONDS - start)) s"
}

compat=$(dpkg -L libsdl1.2-compat | grep '/sdl12-compat/libSDL-1\.2\.so\.0$' | xargs dirname)

# The load check: every CTest labelled `load`, on both SDL 1.2 builds, and
# the page tests (the game's page, the versus page, online play between
# pages and with the desktop), each run `runs` times while two busy loops
# take a core each.  FIGHTER_LOAD_ONLY (an extended regular expression)
# keeps the tests whose names match: "real_window|browser".  Prints the
# passes of each and fails unless all passed; the output of a failed run is
# kept in artifacts/load/.
under_load() {
    local runs=${FIGHTER_LOAD_RUNS:-10} only=${FIGHTER_LOAD_ONLY:-.} logs=$PWD/artifacts/load failed=0
    local -a burners=() tests=() summary=()
    # The page tests: a name, and its command run from the repository root.
    local -a page_names=("browser" "versus page" "online page")
    local -a page_commands=(
        "node web/browserTest.js build-web/web data build-web/artifacts"
        "node web/versusTest.js build-web/web build-web/artifacts"
        "node web/onlineTest.js build-web/web $dir/versus build-web/artifacts/online"
    )
    mkdir -p "$logs"
    rm -f "$logs"/*.log
    mapfile -t tests < <(ctest -N -L load | awk '/Test +#/ {print $3}' | grep -E -- "$only")
    if [ -n "$sanitize" ]; then
        page_names=()
    fi
    local i kept=()
    for i in "${!page_names[@]}"; do
        [[ ! "${page_names[i]}" =~ $only ]] || kept+=("$i")
    done
    [ $((${#tests[@]} + ${#kept[@]})) -gt 0 ] || { echo "no load test matches '$only'"; exit 1; }
    if [ ${#kept[@]} -gt 0 ]; then
        (cd .. && scripts/web.sh --build)
    fi
    for _ in 1 2; do
        (while :; do :; done) &
        burners+=($!)
    done
    trap 'kill "${burners[@]}" 2>/dev/null' EXIT
    echo "== the load check: ${runs} runs each, two CPU burners (pids ${burners[*]})"
    # Runs COMMAND `runs` times from FOLDER, counting the passes of the test
    # called NAME.
    repeat() { # NAME LOG_NAME FOLDER COMMAND...
        local name=$1 log_name=$2 folder=$3 passes=0 i log
        shift 3
        for i in $(seq "$runs"); do
            log="$logs/$log_name-$i.log"
            if (cd "$folder" && "$@") >"$log" 2>&1; then
                passes=$((passes + 1))
                rm -f "$log"
            else
                echo "$name, run $i failed: $log"
            fi
        done
        summary+=("$name: $passes of $runs passed")
        [ "$passes" -eq "$runs" ] || failed=1
    }
    # Tests labelled `once` cannot tell one SDL 1.2 from the other, as in
    # the suite: they run on classic SDL 1.2 only.
    local test once
    once=" $(ctest -N -L once | awk '/Test +#/ {print $3}' | tr '\n' ' ') "
    for test in "${tests[@]}"; do
        repeat "$test on classic SDL 1.2" "$test-classic" . \
            env LD_LIBRARY_PATH= ctest -R "^$test\$" --output-on-failure
        [[ "$once" != *" $test "* ]] || continue
        repeat "$test on sdl12-compat" "$test-sdl12-compat" . \
            env LD_LIBRARY_PATH="$compat" ctest -R "^$test\$" --output-on-failure
    done
    for i in "${kept[@]}"; do
        # shellcheck disable=SC2086 # the command's words
        repeat "the ${page_names[i]} test" "${page_names[i]// /-}" .. ${page_commands[i]}
    done
    kill "${burners[@]}"
    trap - EXIT
    printf '%s\n' "${summary[@]}"
    exit "$failed"
}
[ -z "$under_load" ] || under_load

run_suite "" "classic SDL 1.2"
# Tests labelled `once` cannot tell one SDL 1.2 from the other (the scripts'
# own checks, the network peers without SDL, determinism proven by replaying
# twice or rolled back): the second build skips them.
run_suite "$compat" "sdl12-compat" -LE once

# The hostile corpus again under AddressSanitizer and UndefinedBehaviorSanitizer
# (with --sanitize the whole suite ran so already): broken data must not
# reach a sanitizer report in the game or the checker.
if [ -z "$sanitize" ]; then
    (
        cd ..
        cmake -S . -B build-sanitize -DFIGHTER_TESTS=ON -DCMAKE_BUILD_TYPE=Debug \
            -DFIGHTER_SANITIZE=ON >/dev/null
        cmake --build build-sanitize -j"$(nproc)" --target hostile_tests
        cd build-sanitize
        echo "== the hostile corpus under the sanitizers"
        start=$SECONDS
        ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/../tests/lsan.supp" \
            ctest --output-on-failure --no-tests=error -j"$(nproc)" -L hostile
        echo "== the sanitized corpus: $((SECONDS - start)) s"
    )
fi

cd ..
# The Debian package: lintian and the desktop checks, then installed, played
# from a temporary folder and removed (with root or sudo), and a DESTDIR
# install played the same way (not with --sanitize).
[ -n "$sanitize" ] || scripts/install-test.sh "$dir"

# The game in a web page, in headless Chromium (not with --sanitize).
[ -n "$sanitize" ] || scripts/web-test.sh
