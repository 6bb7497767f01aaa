#!/usr/bin/env bash
# Two people at one keyboard: the versus program in a real X window (Xvfb),
# driven with real key presses for both players, recording the match; the
# recording must play back to the state the match ended in.  No step waits
# on the clock: each waits for what the game reports (its trace, which the
# program writes out frame by frame, its window, its exit), up to a generous
# bound (docs/testing.md); only the keys of a command are paced.
#   versus_window_test.sh VERSUS REPLAY SOURCE_DIR ARTIFACT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
versus=$1 replay=$2 root=$3 out=$4
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/display "$out"/match.replay
source "$here/wait.sh"
source "$here/xgame.sh"

fail() {
    echo "FAIL: $*"
    exit 1
}

xgame_server "$out" || fail "no X server"
cd "$root"
trace=$out/versus.trace.txt
SDL_AUDIODRIVER=dummy "$versus" --record "$out/match.replay" >"$trace" 2>"$out/versus.stderr.txt" &
pid=$!
xgame_pids+=("$pid")

window=$(xgame_window "Tavro Fighter" 30) || fail "the versus window did not appear"
[ "$(xdotool getwindowname "$window")" = "Tavro Fighter - versus" ] ||
    fail "the window is called '$(xdotool getwindowname "$window")'"
xdotool windowfocus --sync "$window"
wait_for_trace "$trace" "^Versus: " 30 "the match to start" >/dev/null || fail "the match did not start"

# Throws a fireball with KEYS until the trace tells of a hit after the last
# one: a press may land while the fighter cannot act (still falling, reeling
# from a hit), and a player would simply press again.
fireball_hits() { # WHO KEYS...
    local who=$1 mark
    shift
    mark=$(trace_lines "$trace")
    for _ in 1 2 3 4 5 6; do
        xdotool key --delay 40 "$@"
        wait_for_trace "$trace" "^Force those damages" 5 "$who's fireball to hit" "$mark" \
            >/dev/null 2>&1 && return 0
    done
    return 1
}

# Player 1: Down, Right, Z.  Player 2: F, D, A (Down, forward, A on its keys).
fireball_hits "player 1" Down Right z || fail "player 1's fireball never hit"
xgame_shot "$window" "$out/p1_fireball.png"
fireball_hits "player 2" f d a || fail "player 2's fireball never hit"
xgame_shot "$window" "$out/p2_fireball.png"

# Escape ends the match with exit code 0, the final state printed last.
xdotool key Escape
wait_for_exit "$pid" 30 "the match to end after Escape" || fail "the match still runs after Escape"
wait "$pid"
code=$?
[ $code -eq 0 ] || fail "exit code $code after Escape"

"$replay" "$out/match.replay" >"$out/replayed.txt" 2>"$out/replay-errors.txt" ||
    fail "the recording does not play back to the match: $(cat "$out/replay-errors.txt")"
tail -n "$(wc -l <"$out/replayed.txt")" "$trace" | diff - "$out/replayed.txt" ||
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
