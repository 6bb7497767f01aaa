#!/usr/bin/env bash
# Two versus windows (Xvfb) play each other online over 127.0.0.1, with
# real key presses in each: both confirm the same frames, and the overlay
# is on screen.  Then a host is killed mid-match and the other window says
# "connection lost".  Screenshots land in ARTIFACT_DIR.  No step waits on
# the clock: each waits for what the programs report (their trace, which
# they write out every frame, their windows, their exit), up to a generous
# bound (docs/testing.md).
#   online_window_test.sh VERSUS SOURCE_DIR ARTIFACT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
versus=$1 root=$2 out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/display
source "$here/../../window/wait.sh"

fail() {
    echo "FAIL: $*"
    for f in "$out"/*.txt; do echo "== $f"; tail -5 "$f"; done
    exit 1
}

pids=()
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1700x700x24 -noreset -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill -9 ${pids[*]} 2>/dev/null; kill $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
wait_until 30 "Xvfb to tell its display number" test -s "$out/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$out/display")"
x_answers() { xdpyinfo >/dev/null 2>&1; }
wait_until 30 "Xvfb to answer on $DISPLAY" x_answers || fail "Xvfb does not answer on $DISPLAY"
cd "$root"
port=$((20000 + ($$ * 11) % 20000))

start() { # name args...
    local name=$1
    shift
    SDL_AUDIODRIVER=dummy "$versus" "$@" >"$out/$name.txt" 2>&1 &
    pids+=($!)
    last=$!
}
# The newest window whose title matches the regular expression: its id,
# within 30 s.
window_found() { found=$(xdotool search --name "$1" 2>/dev/null | tail -1) && [ -n "$found" ]; }
window() { # title
    found=""
    wait_until 30 "a window titled like '$1'" window_found "$1" && echo "$found"
}
shot() { import -window "$1" "$out/$2.png"; }
# White pixels (the overlay's ink) in a band of a screenshot.
white_in() { # name w h x y
    convert "$out/$1.png[$2x$3+$4+$5]" -fill black +opaque "#FFFFFF" -fill white -opaque "#FFFFFF" \
        -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}
# Key presses in a window, paced as a player's fingers would.
press() { # window keys...
    local w=$1
    shift
    timeout 20 xdotool windowfocus --sync "$w"
    timeout 20 xdotool key --delay 60 "$@"
}
started() { # name: waits for its program to say the match has started
    wait_for_trace "$out/$1.txt" '^Online: the match has started' 30 "the $1 to start the match" \
        >/dev/null
}
# The overlay's white ink in a band of the window, once it is there: sets ink.
ink_shown() { # window name least w h x y
    ink=0
    shot "$1" "$2" 2>/dev/null || return 1
    ink=$(white_in "$2" "$4" "$5" "$6" "$7")
    [ "$ink" -gt "$3" ]
}

# 1. A match: the host waits, the guest joins; both end after 500 frames
# confirmed, and print the digest of their checksums.
start host --host "$port" --frames 500
hostPid=$last
host=$(window "versus online .host.") || fail "the host's window did not appear"
xdotool windowmove "$host" 0 0
start guest --join "127.0.0.1:$port" --frames 500
guestPid=$last
guest=$(window "Tavro Fighter - versus online$") || fail "the guest's window did not appear"
xdotool windowmove "$guest" 850 0
started host || fail "the host never started the match"
started guest || fail "the guest never started the match"
for name in host guest; do
    [ $name = host ] && w=$host || w=$guest
    wait_until 20 "the overlay at the foot of the $name's window" ink_shown "$w" $name 200 800 40 0 560 ||
        fail "no overlay at the foot of the $name's window ($ink pixels)"
done
press "$host" Right Right z
press "$guest" Left x Down Left a
press "$host" Down Right z
press "$guest" c
wait_for_exit "$hostPid" 60 "the host's match of 500 frames to end" || fail "the host's match never ended"
wait "$hostPid" || fail "the host's match failed"
wait_for_exit "$guestPid" 60 "the guest's match of 500 frames to end" || fail "the guest's match never ended"
wait "$guestPid" || fail "the guest's match failed"
a=$(grep -o 'confirmed 500 digest [0-9a-f]*' "$out/host.txt")
b=$(grep -o 'confirmed 500 digest [0-9a-f]*' "$out/guest.txt")
[ -n "$a" ] && [ "$a" = "$b" ] || fail "the windows disagree: '$a' and '$b'"
echo "both windows: $a"
grep -h 'rollbacks' "$out/host.txt" "$out/guest.txt"

# 2. The host is killed mid-match: the guest's window says "connection
# lost", and keeps saying it a moment before it ends.
start host2 --host "$port"
hostPid=$last
window "versus online .host." >/dev/null || fail "the second host's window did not appear"
start guest2 --join "127.0.0.1:$port"
guestPid=$last
guest=$(window "Tavro Fighter - versus online$") || fail "the second guest's window did not appear"
started host2 || fail "the second host never started the match"
started guest2 || fail "the second guest never started the match"
kill -9 "$hostPid"
wait "$hostPid" 2>/dev/null
wait_for_trace "$out/guest2.txt" 'connection lost' 30 "the guest to say connection lost" >/dev/null ||
    fail "the guest did not say connection lost"
wait_until 20 "the notice in the middle of the guest's window" ink_shown "$guest" lost 100 300 40 250 280 ||
    fail "no notice in the middle of the guest's window ($ink pixels)"
wait_for_exit "$guestPid" 30 "the guest to end after the notice" || fail "the guest did not end"
wait "$guestPid"
[ $? -eq 1 ] || fail "the guest did not end with exit code 1"
echo "online window test passed; screenshots in $out"
