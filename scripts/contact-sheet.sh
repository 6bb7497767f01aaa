#!/usr/bin/env bash
# Renders every frame of the character's animations and moves, and of the
# particles and the hit-point bar, with their collision boxes (yellow), damage
# boxes (red) and anchors (blue), into one PNG; beside it, a mock-up of the
# stage with both fighters on the ground line (<output>-stage.png).
#   scripts/contact-sheet.sh [data folder] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
data="${1:-data}"
out="${2:-build/contact-sheet.png}"
cmake -S . -B build >/dev/null
cmake --build build -j2 --target datagen >/dev/null
mkdir -p "$(dirname "$out")"
bmp="$(mktemp --suffix=.bmp)"
trap 'rm -f "$bmp"' EXIT
stage="${out%.png}-stage.png"
if command -v convert >/dev/null; then
    ./build/tools/datagen --sheet "$data" "$bmp"
    convert "$bmp" "$out"
    ./build/tools/datagen --scene "$data" "$bmp"
    convert "$bmp" "$stage"
else
    out="${out%.png}.bmp"
    stage="${stage%.png}.bmp"
    ./build/tools/datagen --sheet "$data" "$out"
    ./build/tools/datagen --scene "$data" "$stage"
fi
echo "contact sheet: $out"
echo "stage mock-up: $stage"
