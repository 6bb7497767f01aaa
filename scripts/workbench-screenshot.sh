#!/usr/bin/env bash
# Takes the workbench README's pictures of the workbench in a real window under a
# private Xvfb, driven with key presses:
#   docs/workbench.png             the fireball move at the frame that throws,
#                                  the ball in flight in the particle preview,
#                                  with its boxes, the opponent and the timeline
#   docs/workbench-views.png       the other views side by side: the uppercut
#                                  with its onion skin, the air kick at jump
#                                  height against an opponent in the air, and
#                                  the shockwave's pillar in the preview
#   scripts/workbench-screenshot.sh [FOLDER]    (default docs)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs}"
mkdir -p "$out"
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

# shot FILE MOVE SETTLE KEY...: the workbench on MOVE, the keys pressed, the
# window saved SETTLE seconds after the last key.
shot() {
    local file="$1" move="$2" settle="$3"
    shift 3
    build/tools/workbench/workbench data "$move" >"$work/terminal.txt" 2>&1 &
    bench_pid=$!
    local window
    window=$(timeout 10 xdotool search --sync --name "workbench" | head -1)
    [ -n "$window" ] || { echo "the workbench window did not appear"; exit 1; }
    for k in "$@"; do
        xdotool key --window "$window" "$k"
        sleep 0.15
    done
    sleep "$settle"
    import -window "$window" "$file"
    kill "$bench_pid" 2>/dev/null || true
    wait "$bench_pid" 2>/dev/null || true
    bench_pid=""
}

# Pause, the opponent a little further off, back to frame 1 (down and up
# again) and two steps to the throw; the ball flies for a moment.
keys=(space)
for _ in $(seq 11); do keys+=(plus); done
keys+=(Down Up Right Right)
shot "$out/workbench.png" fireball 0.2 "${keys[@]}"

# The uppercut paused on its rising blow, the frames before and after faint.
shot "$work/onion.png" uppercut 0.3 space Down Up Right Right k
# The air kick at jump height, the opponent in the air, closer.
shot "$work/air.png" airKick 0.3 space Down Up Right p p minus minus minus minus minus
# The shockwave thrown and played at half speed: the wave runs out and bursts
# into its pillar.
shot "$work/pillar.png" shockwave 1.6 m
convert "$work/onion.png" "$work/air.png" "$work/pillar.png" -resize 50% +append \
    "$out/workbench-views.png"
echo "screenshots: $out/workbench.png $out/workbench-views.png"
