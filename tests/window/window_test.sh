#!/usr/bin/env bash
# Plays the real game in a real X window (Xvfb) with real key presses, the
# way a player would, and checks what the screen shows.
#   window_test.sh GAME TRACED_GAME XCLOSE SOURCE_DIR ARTIFACT_DIR
# GAME is `fighter` itself: its window, the start screen, J, the close button
# and Escape.  TRACED_GAME is the same game writing each trace line as it
# happens (tracedGame.cpp): the fireball, where the test must know whether
# its key presses made a command.  No step waits on the clock: each waits for
# what the game shows or reports, up to a generous bound (docs/testing.md).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
game=$1 traced=$2 xclose=$3 root=$4 out=$5
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/display
source "$here/wait.sh"
source "$here/xgame.sh"

fail() {
    echo "FAIL: $*"
    exit 1
}

xgame_server "$out" || fail "no X server"
cd "$root"

# Starts a game and finds its window, 800 x 600; sets window and pid.
start_game() { # PROGRAM NAME
    xgame_launch "$1" "$2" "$out"
    pid=$xgame_pid
    window=$(xgame_window "Tavro Fighter" 30) || fail "the game window did not appear"
    xdotool windowfocus --sync "$window"
    local geometry
    geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$geometry" = "800x600" ] || fail "window is $geometry, not 800x600"
}

shot() { xgame_shot "$window" "$out/$1.png"; }
pixel() { xgame_pixel "$out/$1.png" "$2" "$3"; }
count_colour() { xgame_count_colour "$out/$1.png" "$2"; }
differs_from_stage() { # name w h x y
    xgame_differs "$out/$1.png" data/tBG2.bmp "$2" "$3" "$4" "$5"
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

start_shown() {
    shot start 2>/dev/null || return 1
    problem=$(start_problem)
    [ -z "$problem" ]
}

# The fighters fall onto the ground line within a quarter of a second of game
# time after the window opens.
wait_for_start() {
    problem="no screenshot"
    wait_until 30 "both fighters standing on the stage, both bars full" start_shown ||
        fail "$problem"
}

yellow_pixels() {
    shot debug 2>/dev/null || return 1
    yellow=$(count_colour debug FFCC00)
}
boxes_shown() { yellow_pixels && [ "$yellow" -gt 500 ]; }
boxes_gone() { yellow_pixels && [ "$yellow" -lt 50 ]; }

# Escape ends the game with exit code 0.
escape_ends() {
    xdotool key Escape
    wait_for_exit "$pid" 20 "the game to end after Escape" || fail "the game still runs after Escape"
    wait "$pid"
    local code=$?
    [ $code -eq 0 ] || fail "exit code $code after Escape"
}

# ---- fighter: the window, J, the close button, Escape -------------------

start_game "$game" fighter
wait_for_start

# J shows the collision boxes.
xdotool key j
yellow=0
wait_until 20 "yellow collision boxes after J" boxes_shown ||
    fail "no yellow collision box after J ($yellow pixels)"

# The window's close button is ignored: J pressed after the close request is
# read after it, so once the boxes are gone the game has seen the request,
# and must still run.
"$xclose" "$window"
xdotool key j
wait_until 20 "the boxes to go after a second J, sent after the close request" boxes_gone ||
    fail "the boxes stayed after J was pressed again ($yellow pixels)"
kill -0 "$pid" 2>/dev/null || fail "the game ended on the window's close request"

escape_ends
# The game's buffered trace reaches its standard output at the latest at exit.
grep -q "Lets Rock!: fireball" "$out/fighter.trace.txt" ||
    fail "the game's trace did not reach its standard output"

# ---- the traced game: the fireball --------------------------------------

start_game "$traced" traced
trace=$out/traced.trace.txt
wait_for_start

# Down, forward, A: the fireball.  The three presses must land within the
# game's command window; the trace says, once the game has read Z, which
# presses it held ("searched DRA|| Against DRA") and what it made of them.
# The whole command is sent again when they made no fireball: the presses
# came too far apart, the opponent has jumped over (forward is then Left),
# or player 1 was being hit and could not throw.
forward=Right
thrown=""
for attempt in $(seq 8); do
    mark=$(trace_lines "$trace")
    xdotool key --delay 40 Down "$forward" z
    found=$(wait_for_trace_at "$trace" '^(Have Move - |Got nothing|Adding uppercut)' 20 \
        "the game to judge Down, $forward, Z" "$mark") || fail "the game did not read Z"
    at=${found%%:*} judged=${found#*:}
    held=$(sed -n "$((mark + 1)),${at}p" "$trace" | grep -m1 -o 'Against [A-Z]*' | cut -d' ' -f2)
    echo "try $attempt: Down, $forward, Z read as ${held:-?}: $judged"
    if [ "$judged" = "Have Move - fireball!" ]; then
        # Player 1 takes the move in the same pass unless a hit keeps them
        # busy: the lines that follow are then the opponent's.
        wait_for_trace "$trace" '' 20 "the rest of the pass that found the fireball" $((at + 2)) \
            >/dev/null || fail "the game stopped writing its trace"
        if sed -n "$((at + 1)),$((at + 3))p" "$trace" | grep -q -x "Change Action: fireball"; then
            # A hit before the fireball leaves the hand ends the move:
            # player 1 then changes from it to the hit.
            out_or_hit=$(wait_for_trace "$trace" '^(particle added|Last state was: fireball)$' 20 \
                "the fireball's particle" "$at") || fail "the fireball neither came out nor ended"
            if [ "$out_or_hit" = "particle added" ]; then
                shot fireball
                thrown=yes
                break
            fi
            echo "try $attempt: the fireball move ended before its particle came out"
        fi
    fi
    # Forward is the way player 1 faces: the other key if Right read as back.
    if [[ "$held" == *DLA* ]]; then
        [ "$forward" = Right ] && forward=Left || forward=Right
    fi
    sleep 0.5 # paces the tries: a hit that kept player 1 busy passes meanwhile
done
[ -n "$thrown" ] || fail "the fireball move did not start in 8 tries of Down, forward, Z"

escape_ends
grep -q "Change Action: fireball" "$trace" || fail "the fireball move did not start"
grep -q "particle added" "$trace" || fail "no particle was added"
echo "window test passed; screenshots in $out"
