#!/usr/bin/env bash
# Plays the real game in a real X window (Xvfb) with real key presses, the
# way a player would, and checks what the screen shows.
#   window_test.sh GAME XCLOSE SOURCE_DIR ARTIFACT_DIR
set -uo pipefail
game=$1 xclose=$2 root=$3 out=$4
mkdir -p "$out"
rm -f "$out"/*.png "$out"/trace.txt "$out"/stderr.txt "$out"/display

fail() { echo "FAIL: $*"; exit 1; }

# A server of our own on a display number it picks itself, so that nothing
# else running on this machine can answer in its place.
game_pid=""
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $game_pid $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.05; done
[ -s "$out/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$out/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY"

cd "$root"
# Built with the sanitizers and run on sdl12-compat, a real window leaves
# SDL2's leaks in helper libraries it has already unloaded at exit, where
# no suppression can name them; the leak check stays on everywhere else.
if [ -n "${ASAN_OPTIONS:-}" ] && [[ "${LD_LIBRARY_PATH:-}" == *sdl12-compat* ]]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
fi
SDL_AUDIODRIVER=dummy "$game" >"$out/trace.txt" 2>"$out/stderr.txt" &
game_pid=$!

window=$(timeout 10 xdotool search --sync --name "Tavro Fighter" | head -1)
[ -n "$window" ] || fail "the game window did not appear"
xdotool windowfocus --sync "$window"

geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, not 800x600"

shot() { import -window "$window" "$out/$1.png"; }
pixel() { convert "$out/$1.png" -format "%[hex:u.p{$2,$3}]" info: | cut -c1-6; }
# Number of pixels of one colour in a screenshot.
count_colour() {
    convert "$out/$1.png" -fill black +opaque "#$2" -fill white -opaque "#$2" \
        -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}
# Number of pixels in a rectangle that differ from the stage bitmap.
differs_from_stage() { # name w h x y
    compare -metric AE "$out/$1.png[$2x$3+$4+$5]" "data/tBG2.bmp[$2x$3+$4+$5]" null: 2>&1 | cut -d' ' -f1
}

# What the first screenshot must show; prints why not, or nothing.
start_problem() {
    [ "$(pixel start 100 25)" = "FF3300" ] || { echo "player 1's bar is not full at the start"; return; }
    [ "$(pixel start 700 25)" = "FF3300" ] || { echo "player 2's bar is not full at the start"; return; }
    [ "$(differs_from_stage start 40 40 380 200)" -eq 0 ] || { echo "the sky in the middle is not the stage"; return; }
    [ "$(differs_from_stage start 800 50 0 540)" -lt 200 ] || { echo "something stands below the ground line"; return; }
    # Two fighters stand on the ground line: their bodies fill the band above
    # it and their feet reach down to it.
    local bodies feet
    bodies=$(differs_from_stage start 800 200 0 330)
    feet=$(differs_from_stage start 800 12 0 518)
    [ "$bodies" -gt 6000 ] || { echo "the fighters are not on the stage ($bodies pixels)"; return; }
    [ "$feet" -gt 150 ] || { echo "no feet on the ground line ($feet pixels)"; return; }
    [ "$(count_colour start FFCC00)" -lt 50 ] || { echo "debug boxes shown before J was pressed"; return; }
}

# The fighters fall onto the ground line within a quarter of a second of game
# time; a busy machine may need longer to get there.
sleep 0.8
for attempt in $(seq 8); do
    shot start
    problem=$(start_problem)
    [ -z "$problem" ] && break
    sleep 0.3
done
[ -z "$problem" ] || fail "$problem"

# Down, forward, A: the fireball.  The opponent may be in the middle of
# hitting player 1, who then cannot throw, or may have jumped over, so that
# forward is Left; a player would simply try again, both ways.
for forward in Right Left Right Left; do
    xdotool key --delay 40 Down "$forward" z
    sleep 0.6
done
shot fireball

# J shows the collision boxes.
xdotool key j
sleep 0.3
shot debug
yellow=$(count_colour debug FFCC00)
[ "$yellow" -gt 500 ] || fail "no yellow collision box after J ($yellow pixels)"

# The window's close button is ignored...
"$xclose" "$window"
sleep 0.5
kill -0 $game_pid 2>/dev/null || fail "the game ended on the window's close request"

# ...Escape ends the game with exit code 0 within a second.
xdotool key Escape
for _ in $(seq 20); do kill -0 $game_pid 2>/dev/null || break; sleep 0.05; done
kill -0 $game_pid 2>/dev/null && fail "the game still runs a second after Escape"
wait $game_pid
code=$?
[ $code -eq 0 ] || fail "exit code $code after Escape"

grep -q "Change Action: fireball" "$out/trace.txt" || fail "the fireball move did not start"
grep -q "particle added" "$out/trace.txt" || fail "no particle was added"
echo "window test passed; screenshots in $out"
