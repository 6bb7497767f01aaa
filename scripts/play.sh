#!/usr/bin/env bash
# Build the game and play it from the repository root (where data/ is).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target fighter
exec ./build/fighter
