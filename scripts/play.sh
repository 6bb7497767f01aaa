#!/usr/bin/env bash
# Build the game and play it from the repository root (where data/ is).
#   scripts/play.sh           the game's trace goes to build/trace.log,
#                             written anew at each start; only its last
#                             20 MB are kept (build/trace.log and the part
#                             before it, build/trace.log.1, 10 MB each)
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
# The trace grows by some megabytes a minute of play: only the latest part
# of it is kept.
part=$((10 * 1024 * 1024))
echo "The game's trace goes to $log, its last 20 MB kept (scripts/play.sh --trace shows it here)."
set +e
./build/fighter 2>&1 | scripts/keep-last.sh "$log" "$part"
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
    echo "The game ended with exit code $status; the end of $log:" >&2
    cat "$log.1" "$log" 2>/dev/null | tail -n 5 >&2
fi
exit "$status"
