#!/usr/bin/env bash
# Draws every frame of the character's animations and moves, and of the
# particles and the hit-point bar, with their collision boxes (yellow), damage
# boxes (red) and anchors (blue), into one PNG; beside it, the stage with both
# fighters on the ground line as the game lays them out (<output>-stage.png).
# The workbench draws both (workbench --sheet, workbench --scene) as BMPs;
# ImageMagick turns them into PNGs, and without it the BMPs are kept.
#   scripts/contact-sheet.sh [data folder] [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
data="${1:-data}"
out="${2:-build/contact-sheet.png}"
cmake -S . -B build >/dev/null
cmake --build build -j2 --target workbench >/dev/null
mkdir -p "$(dirname "$out")"
bmp="$(mktemp --suffix=.bmp)"
trap 'rm -f "$bmp"' EXIT
stage="${out%.png}-stage.png"
workbench=./build/tools/workbench/workbench
if command -v convert >/dev/null; then
    "$workbench" --sheet "$data" "$bmp"
    convert "$bmp" "$out"
    "$workbench" --scene "$data" "$bmp"
    convert "$bmp" "$stage"
else
    out="${out%.png}.bmp"
    stage="${stage%.png}.bmp"
    "$workbench" --sheet "$data" "$out"
    "$workbench" --scene "$data" "$stage"
fi
echo "contact sheet: $out"
echo "stage mock-up: $stage"
