#!/usr/bin/env bash
# Two versus programs play the real game online over 127.0.0.1, headless,
# each playing by itself (--autoplay) and sending through an impaired link
# (80 +- 20 ms each way, 5% lost, some repeated and reordered).
#   versusOnline_test.sh VERSUS SOURCE_DIR CASE
# Every program is killed at the end if still running; ctest's time limit
# bounds the whole.
# CASE: agree   both confirm 600 frames with the same checksums, rolling back;
#               (both leave at about the same time)
#       killed  the guest is killed mid-match: the host says "connection
#               lost" within 3 seconds and ends with exit code 1
set -uo pipefail
versus=$1 root=$2 case=$3
out=$(mktemp -d)
pids=()
trap 'kill -9 ${pids[*]} 2>/dev/null; rm -rf "$out"' EXIT
cd "$root"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
port=$((20000 + ($$ * 13 + ${#case}) % 20000))
fail() {
    echo "FAIL: $*"
    for f in "$out"/*.log; do echo "== $f"; grep -v '^[A-Z][a-z]* [A-Za-z]*:' "$f" | tail -8; done
    exit 1
}
# The tests wait on the game, not on the clock (tests/window/wait.sh).
. "$(dirname "$0")/../window/wait.sh"
# Waits, at most 30 s, for the host to say the guest joined.
joined() {
    wait_for_trace "$out/host.log" 'a player joined' 30 "the host to say a player joined" >/dev/null
}
play() { # name args...
    local name=$1
    shift
    "$versus" "$@" >"$out/$name.log" 2>&1 &
    pids+=($!)
    last=$!
}

case $case in
agree)
    play host --host "$port" --autoplay 3 --impair 11 --frames 600
    hostPid=$last
    play guest --join "127.0.0.1:$port" --autoplay 4 --impair 12 --frames 600
    wait "$last" || fail "the guest failed"
    wait "$hostPid" || fail "the host failed"
    a=$(grep -o 'confirmed 600 digest [0-9a-f]*' "$out/host.log")
    b=$(grep -o 'confirmed 600 digest [0-9a-f]*' "$out/guest.log")
    [ -n "$a" ] && [ "$a" = "$b" ] || fail "the two disagree: '$a' and '$b'"
    echo "both: $a"
    grep -h 'rollbacks' "$out/host.log" "$out/guest.log"
    grep -q ' 0 rollbacks' "$out/host.log" && fail "the host never rolled back"
    grep -q ' 0 rollbacks' "$out/guest.log" && fail "the guest never rolled back"
    ;;
killed)
    play host --host "$port" --autoplay 3
    hostPid=$last
    play guest --join "127.0.0.1:$port" --autoplay 4
    joined || fail "the guest never joined"
    # Mid-match: both have said the match started.
    wait_for_trace "$out/host.log" 'the match has started' 30 "the host to start the match" >/dev/null ||
        fail "the host never started the match"
    wait_for_trace "$out/guest.log" 'the match has started' 30 "the guest to start the match" >/dev/null ||
        fail "the guest never started the match"
    kill -9 "$last"
    killedAt=$(date +%s%N)
    wait "$hostPid"
    rc=$?
    elapsed=$((($(date +%s%N) - killedAt) / 1000000))
    echo "the host ended $elapsed ms after the kill, exit $rc"
    grep -q 'connection lost' "$out/host.log" || fail "the host did not say connection lost"
    [ "$rc" -eq 1 ] || fail "the host exited $rc"
    [ "$elapsed" -lt 3000 ] || fail "the host took $elapsed ms"
    ;;
*)
    echo "unknown case $case"
    exit 2
    ;;
esac
echo "PASS: $case"
