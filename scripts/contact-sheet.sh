#!/usr/bin/env bash
# Renders every frame of the character's animations and moves, and of the
# particles and the hit-point bar, with their collision boxes (yellow), damage
# boxes (red) and anchors (blue), into one PNG.
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
./build/tools/datagen --sheet "$data" "$bmp"
if command -v convert >/dev/null; then
    convert "$bmp" "$out"
else
    out="${out%.png}.bmp"
    cp "$bmp" "$out"
fi
echo "contact sheet: $out"
