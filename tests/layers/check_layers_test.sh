#!/usr/bin/env bash
# The layer checker itself: it passes a tidy copy of the sources and fails,
# naming the file and line, on an upward include, an include without its
# folder, and two headers that include each other; and between the homes
# beside src/, on tools and tests taking code from each other (an include, a
# source compiled, a library linked) and on harness including either.
set -euo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

root=$(dirname "$src")
# The sources and build files of src/ and the homes beside it, copied once.
mkdir "$work/pristine" "$work/tree"
(cd "$root" && find src harness tools tests \( -name '*.h' -o -name '*.cpp' -o -name LAYERS \
    -o -name CMakeLists.txt -o -name '*.cmake' \) -print0 |
    xargs -0 cp --parents -t "$work/pristine")
fresh() { rm -rf "$work/tree"; cp -r "$work/pristine" "$work/tree"; }
expect_fail() {
    local what=$1 pattern=$2
    if out=$("$check" "$work/tree/src"); then
        echo "FAIL: $what was not caught"; exit 1
    fi
    grep -q -- "$pattern" <<<"$out" || { echo "FAIL: $what: no line matching '$pattern' in:"; echo "$out"; exit 1; }
    echo "ok: $what"
}

fresh
"$check" "$work/tree/src" >/dev/null || { echo "FAIL: the untouched sources were refused"; exit 1; }
echo "ok: untouched sources pass"

fresh
echo '#include "game/main.h"' >>"$work/tree/src/sprite/CSprite.h"
expect_fail "sprite including game" 'CSprite.h:[0-9]*: "game/main.h" comes from layer game'

fresh
echo '#include "seams.h"' >>"$work/tree/src/base/seams.cpp"
expect_fail "an include without its folder" 'seams.cpp:[0-9]*: "seams.h" must be included by its path'

fresh
echo '#include "base/seams.h"' >>"$work/tree/src/base/platform.h"
echo '#include "base/platform.h"' >>"$work/tree/src/base/seams.h"
expect_fail "two headers including each other" 'in a circle'

fresh
mkdir "$work/tree/src/extra"
expect_fail "a folder missing from the layer list" 'extra: folder is not listed'

fresh
echo '#include "controlFixture.h"' >>"$work/tree/tools/soak/soak.cpp"
expect_fail "a tool including a test's header" 'soak.cpp:[0-9]*: "controlFixture.h" is in tests/, which tools/ may not'

fresh
echo '#include "dataChecker.h"' >>"$work/tree/tests/game_test.cpp"
expect_fail "a test including a tool's header" 'game_test.cpp:[0-9]*: "dataChecker.h" is in tools/, which tests/ may not'

fresh
echo '#include "../tools/bench/sections.h"' >>"$work/tree/harness/syncTest.h"
expect_fail "the harness including a tool's header by a relative path" 'syncTest.h:[0-9]*: "../tools/bench/sections.h" is in tools/, which harness/ may not'

fresh
echo 'add_library(tests_only STATIC only.cpp)' >>"$work/tree/tests/CMakeLists.txt"
echo 'target_link_libraries(soak PRIVATE tests_only)' >>"$work/tree/tools/soak/CMakeLists.txt"
expect_fail "a tool linking a library of the tests" 'soak/CMakeLists.txt:[0-9]*: links tests_only, a library of tests/'

fresh
echo 'add_executable(more ${PROJECT_SOURCE_DIR}/tools/fuzz/packetFuzz.cpp)' >>"$work/tree/tests/CMakeLists.txt"
expect_fail "a test compiling a tool's source" 'tests/CMakeLists.txt:[0-9]*: compiles a source file of tools/'
