#!/usr/bin/env bash
# The versus program without a window (SDL's dummy drivers): its options, and
# a recorded match that the replay tool plays back to the very final state
# the program printed.
#   program_test.sh VERSUS REPLAY SOURCE_DIR
set -uo pipefail
versus=$1 replay=$2 root=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$root"

# Options it does not take, and a recording it cannot write, end it at once
# with exit code 2 and a reason, before any window.
for args in "--bogus" "--record" "--seed" "--seed x" "--seed -1" "--frames 0" "--frames 5x" \
    "--record $work/no/such/folder/match.replay"; do
    # shellcheck disable=SC2086
    timeout 10 "$versus" $args >"$work/out" 2>"$work/err"
    code=$?
    [ $code -eq 2 ] || fail "versus $args: exit code $code, not 2"
    grep -q "^versus: " "$work/err" || fail "versus $args gave no reason: $(cat "$work/err")"
done

# Thirty frames, recorded: the replay tool reaches the state the match ended in.
timeout 20 "$versus" --frames 30 --seed 5 --record "$work/match.replay" >"$work/live" 2>"$work/err" ||
    fail "the match did not end well: $(cat "$work/err")"
grep -qx "seed 5" "$work/match.replay" || fail "the recording lost its seed"
grep -qx "end 30" "$work/match.replay" || fail "the recording does not say its length"
"$replay" "$work/match.replay" >"$work/replayed" || fail "the recording does not play back"
lines=$(wc -l <"$work/replayed")
tail -n "$lines" "$work/live" | diff - "$work/replayed" || fail "the replay ended elsewhere"
grep -qx "tick 480" "$work/replayed" || fail "thirty frames are not 480 ms of game clock"
echo "versus program test passed"
