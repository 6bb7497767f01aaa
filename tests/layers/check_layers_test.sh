#!/usr/bin/env bash
# The layer checker itself: it passes a tidy copy of the sources and fails,
# naming the file and line, on an upward include, an include without its
# folder, and two headers that include each other.
set -euo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh() { rm -rf "$work/src"; cp -r "$src" "$work/src"; }
expect_fail() {
    local what=$1 pattern=$2
    if out=$("$check" "$work/src"); then
        echo "FAIL: $what was not caught"; exit 1
    fi
    grep -q -- "$pattern" <<<"$out" || { echo "FAIL: $what: no line matching '$pattern' in:"; echo "$out"; exit 1; }
    echo "ok: $what"
}

fresh
"$check" "$work/src" >/dev/null || { echo "FAIL: the untouched sources were refused"; exit 1; }
echo "ok: untouched sources pass"

fresh
echo '#include "game/main.h"' >>"$work/src/sprite/CSprite.h"
expect_fail "sprite including game" 'CSprite.h:[0-9]*: "game/main.h" comes from layer game'

fresh
echo '#include "seams.h"' >>"$work/src/base/seams.cpp"
expect_fail "an include without its folder" 'seams.cpp:[0-9]*: "seams.h" must be included by its path'

fresh
echo '#include "base/seams.h"' >>"$work/src/base/platform.h"
echo '#include "base/platform.h"' >>"$work/src/base/seams.h"
expect_fail "two headers including each other" 'in a circle'

fresh
mkdir "$work/src/extra"
expect_fail "a folder missing from the layer list" 'extra: folder is not listed'
