#!/usr/bin/env bash
# Two people at one keyboard: the versus program in a real X window (Xvfb),
# driven with real key presses for both players, recording the match; the
# recording must play back to the state the match ended in.  Every wait is
# on what the game reports (its trace, its window), none a fixed sleep.
#   versus_window_test.sh VERSUS REPLAY SOURCE_DIR ARTIFACT_DIR
set -uo pipefail
versus=$1 replay=$2 root=$3 out=$4
mkdir -p "$out"
rm -f "$out"/*.png "$out"/trace.txt "$out"/stderr.txt "$out"/display "$out"/match.replay

fail() { echo "FAIL: $*"; exit 1; }

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
if [ -n "${ASAN_OPTIONS:-}" ] && [[ "${LD_LIBRARY_PATH:-}" == *sdl12-compat* ]]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
fi
SDL_AUDIODRIVER=dummy "$versus" --record "$out/match.replay" >"$out/trace.txt" 2>"$out/stderr.txt" &
game_pid=$!

# Waits until the trace holds at least COUNT lines matching PATTERN, at most
# SECONDS; false when it does not come to that.
wait_for() { # pattern count seconds
    local n
    for _ in $(seq $(($3 * 20))); do
        n=$(grep -c -- "$1" "$out/trace.txt")
        [ "$n" -ge "$2" ] && return 0
        kill -0 $game_pid 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

window=$(timeout 10 xdotool search --sync --name "Tavro Fighter" | head -1)
[ -n "$window" ] || fail "the versus window did not appear"
[ "$(xdotool getwindowname "$window")" = "Tavro Fighter - versus" ] ||
    fail "the window is called '$(xdotool getwindowname "$window")'"
xdotool windowfocus --sync "$window"
wait_for "^Versus: " 1 10 || fail "the match did not start"

# Player 1: Down, Right, Z, a fireball at player 2.  Until it hits, a player
# would press again (a press may land while the fighter is still falling).
hits=0
for _ in 1 2 3 4; do
    xdotool key --delay 40 Down Right z
    wait_for "Force those damages" 1 3 && break
done
wait_for "Force those damages" 1 1 || fail "player 1's fireball never hit"
hits=$(grep -c "Force those damages" "$out/trace.txt")
import -window "$window" "$out/p1_fireball.png"

# Player 2: F, D, A (Down, forward, A on its own keys), a fireball back.  It
# may still be reeling from the hit: then it tries again.
for _ in 1 2 3 4 5 6; do
    xdotool key --delay 40 f d a
    wait_for "Force those damages" $((hits + 1)) 3 && break
done
wait_for "Force those damages" $((hits + 1)) 1 || fail "player 2's fireball never hit"
import -window "$window" "$out/p2_fireball.png"
fireballs=$(grep -c "Change Action: fireball" "$out/trace.txt")
[ "$fireballs" -ge 2 ] || fail "only $fireballs fireball moves started"

# Escape ends the match with exit code 0, the final state printed last.
xdotool key Escape
for _ in $(seq 100); do kill -0 $game_pid 2>/dev/null || break; sleep 0.05; done
kill -0 $game_pid 2>/dev/null && fail "the match still runs five seconds after Escape"
wait $game_pid
code=$?
game_pid=""
[ $code -eq 0 ] || fail "exit code $code after Escape"

"$replay" "$out/match.replay" >"$out/replayed.txt" 2>"$out/replay-errors.txt" ||
    fail "the recording does not play back to the match: $(cat "$out/replay-errors.txt")"
tail -n "$(wc -l <"$out/replayed.txt")" "$out/trace.txt" | diff - "$out/replayed.txt" ||
    fail "the live match printed another final state than its replay"
grep -qx "ended 1" "$out/replayed.txt" || fail "the replay did not end with Escape"
p1=$(awk '$1 == "p1.hp" {print $2}' "$out/replayed.txt")
p2=$(awk '$1 == "p2.hp" {print $2}' "$out/replayed.txt")
[ "$p1" -lt 1000 ] && [ "$p2" -lt 1000 ] || fail "hit points $p1 and $p2: not both players were hit"
# frame N P1HELD P1PRESSED P2HELD P2PRESSED: each player's A pressed.
pressedA() { awk -v f="$1" '$1 == "frame" && $f ~ /(^|\+)A(\+|$)/' "$out/match.replay" | grep -q .; }
pressedA 4 || fail "player 1's A is not in the recording"
pressedA 6 || fail "player 2's A is not in the recording"
echo "versus window test passed (hit points $p1 and $p2); screenshots in $out"
