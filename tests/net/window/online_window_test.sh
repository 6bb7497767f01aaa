#!/usr/bin/env bash
# Two versus windows (Xvfb) play each other online over 127.0.0.1, with
# real key presses in each: both confirm the same frames, and the overlay
# is on screen.  Then a host is killed mid-match and the other window says
# "connection lost".  Screenshots land in ARTIFACT_DIR.
#   online_window_test.sh VERSUS SOURCE_DIR ARTIFACT_DIR
set -uo pipefail
versus=$1 root=$2 out=$3
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.txt "$out"/display

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
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.05; done
[ -s "$out/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$out/display")"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY"
cd "$root"
port=$((20000 + ($$ * 11) % 20000))

start() { # name args...
    local name=$1
    shift
    SDL_AUDIODRIVER=dummy "$versus" "$@" >"$out/$name.txt" 2>&1 &
    pids+=($!)
    last=$!
}
window() { # title: the newest window of that name
    timeout 10 xdotool search --sync --name "$1" | tail -1
}
shot() { import -window "$1" "$out/$2.png"; }
# White pixels (the overlay's ink) in a band of a screenshot.
white_in() { # name w h x y
    convert "$out/$1.png[$2x$3+$4+$5]" -fill black +opaque "#FFFFFF" -fill white -opaque "#FFFFFF" \
        -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}
press() { # window keys...
    local w=$1
    shift
    xdotool windowfocus --sync "$w"
    xdotool key --delay 60 "$@"
}

# 1. A match: the host waits, the guest joins; both end after 500 frames
# confirmed, and print the digest of their checksums.
start host --host "$port" --frames 500
hostPid=$last
host=$(window "versus online .host.")
[ -n "$host" ] || fail "the host's window did not appear"
xdotool windowmove "$host" 0 0
start guest --join "127.0.0.1:$port" --frames 500
guestPid=$last
sleep 0.5
guest=$(xdotool search --name "Tavro Fighter - versus online$" | tail -1)
[ -n "$guest" ] || fail "the guest's window did not appear"
xdotool windowmove "$guest" 850 0
sleep 1
press "$host" Right Right z
press "$guest" Left x Down Left a
shot "$host" host
shot "$guest" guest
for name in host guest; do
    ink=$(white_in $name 800 40 0 560)
    [ "$ink" -gt 200 ] || fail "no overlay at the foot of the $name's window ($ink pixels)"
done
press "$host" Down Right z
press "$guest" c
wait "$hostPid" || fail "the host's match failed"
wait "$guestPid" || fail "the guest's match failed"
a=$(grep -o 'confirmed 500 digest [0-9a-f]*' "$out/host.txt")
b=$(grep -o 'confirmed 500 digest [0-9a-f]*' "$out/guest.txt")
[ -n "$a" ] && [ "$a" = "$b" ] || fail "the windows disagree: '$a' and '$b'"
echo "both windows: $a"
grep -h 'rollbacks' "$out/host.txt" "$out/guest.txt"

# 2. The host is killed: the guest's window says "connection lost".
start host2 --host "$port"
hostPid=$last
window "versus online .host." >/dev/null || fail "the second host's window did not appear"
start guest2 --join "127.0.0.1:$port"
guestPid=$last
sleep 1.5
guest=$(xdotool search --name "Tavro Fighter - versus online$" | tail -1)
kill -9 "$hostPid"
sleep 2.6
shot "$guest" lost
ink=$(white_in lost 300 40 250 280)
[ "$ink" -gt 100 ] || fail "no notice in the middle of the guest's window ($ink pixels)"
grep -q 'connection lost' "$out/guest2.txt" || fail "the guest did not say connection lost"
wait "$guestPid"
[ $? -eq 1 ] || fail "the guest did not end with exit code 1"
echo "online window test passed; screenshots in $out"
