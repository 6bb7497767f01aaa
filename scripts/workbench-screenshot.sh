#!/usr/bin/env bash
# Takes the README's picture of the workbench: the fireball move at the frame
# that throws the fireball, with its boxes and the opponent, in a real window
# under a private Xvfb, driven with key presses.
#   scripts/workbench-screenshot.sh [output.png]    (default docs/workbench.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/workbench.png}"
cmake -S . -B build >/dev/null
cmake --build build -j2 --target workbench >/dev/null
work="$(mktemp -d)"
bench_pid="" xvfb=""
trap 'kill $bench_pid $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$work/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

build/tools/workbench/workbench data fireball >"$work/terminal.txt" 2>&1 &
bench_pid=$!
window=$(timeout 10 xdotool search --sync --name "workbench" | head -1)
[ -n "$window" ] || { echo "the workbench window did not appear"; exit 1; }
# Pause, back to frame 0 (down and up again), two steps to the throw, and the
# opponent a little further off.
keys=(space Down Up Right Right)
for _ in $(seq 11); do keys+=(plus); done
for k in "${keys[@]}"; do
    xdotool key --window "$window" "$k"
    sleep 0.15
done
sleep 0.5
import -window "$window" "$out"
echo "screenshot: $out"
