#!/usr/bin/env bash
# Build the game and play it from the repository root (where data/ is).
#   scripts/play.sh           the game's trace goes to build/trace.log,
#                             written anew at each start
#   scripts/play.sh --trace   the trace scrolls in this terminal instead
# The game writes its whole trace to standard output either way; only where
# it lands differs.
set -euo pipefail
cd "$(dirname "$0")/.."
show_trace=0
case "${1:-}" in
"") ;;
--trace) show_trace=1 ;;
*)
    echo "usage: scripts/play.sh [--trace]" >&2
    exit 2
    ;;
esac
scripts/install-deps.sh
mkdir -p build
# The build talks only when it fails.
[ -x build/fighter ] || echo "Building the game (a few minutes the first time)..."
if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >build/play-build.log 2>&1 ||
    ! cmake --build build -j"$(nproc)" --target fighter >>build/play-build.log 2>&1; then
    cat build/play-build.log >&2
    echo "scripts/play.sh: the build failed (log above, also in build/play-build.log)" >&2
    exit 1
fi
if [ "$show_trace" = 1 ]; then
    exec ./build/fighter
fi
log=build/trace.log
echo "The game's trace goes to $log (scripts/play.sh --trace shows it here)."
status=0
./build/fighter >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    echo "The game ended with exit code $status; the end of $log:" >&2
    tail -n 5 "$log" >&2
fi
exit "$status"
