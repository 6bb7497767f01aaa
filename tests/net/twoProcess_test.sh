#!/usr/bin/env bash
# Two programs playing the tests' toy game over ENet on 127.0.0.1, one case
# a run.  Every program runs under a time limit of its own and is waited for.
#   twoProcess_test.sh NETPEER CASE
# CASE: agree    both confirm 400 frames with the same checksums, each side
#                sending through an impaired link (80 +- 20 ms, 5% lost,
#                2% repeated, 5% reordered), with rollbacks
#       killed   the guest is killed mid-match: the host says "connection
#                lost" within 3 seconds and ends
#       hostile  the guest slips in garbage, another version, far-off frames
#                and inputs of players that are not its own: the host
#                refuses or drops them and the match still agrees
#       version  a guest of another protocol version is refused with a
#                message; the host then plays a proper guest
#       third    a third program joining mid-match is refused; the match
#                goes on and agrees
#       leave    the guest leaves after 300 frames: the host is told so
#       desync   the guest's game goes wrong at frame 200: both sides end
#                naming frame 200 and its tick, and the logs both write
#                part at that frame
set -uo pipefail
peer=$1
case=$2
out=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$out"
}
trap cleanup EXIT
# A port of this run's own, so cases may run side by side.
port=$((20000 + ($$ * 7 + ${#case}) % 20000))
fail() {
    echo "FAIL: $*"
    for f in "$out"/*.log; do echo "== $f"; cat "$f"; done
    exit 1
}
# The tests wait on the game, not on the clock (tests/window/wait.sh).
. "$(dirname "$0")/../window/wait.sh"
# Waits, at most 30 s, for the host to say the guest joined.
joined() {
    wait_for_trace "$out/host.log" 'a player joined' 30 "the host to say a player joined" >/dev/null
}

host() { "$peer" --host "$port" --step-ms 8 --limit-ms 20000 "$@" >"$out/host.log" 2>&1 & pids+=($!); hostPid=$!; }
guest() {
    local name=$1
    shift
    "$peer" --join "127.0.0.1:$port" --step-ms 8 --limit-ms 20000 "$@" >"$out/$name.log" 2>&1 &
    pids+=($!)
    lastPid=$!
}
digest() { grep '^confirmed' "$out/$1.log"; }
agreed() {
    [ -n "$(digest host)" ] || fail "the host confirmed nothing"
    [ "$(digest host)" = "$(digest "$1")" ] || fail "the checksums differ"
    echo "both: $(digest host)"
    grep 'rollbacks' "$out/host.log" "$out/$1.log"
}

case $case in
agree)
    host --frames 400 --impair 11 --step-ms 16
    guest guest --frames 400 --impair 12 --step-ms 16
    wait "$lastPid" || fail "the guest failed"
    wait "$hostPid" || fail "the host failed"
    agreed guest
    grep -q 'rollbacks [1-9]' "$out/host.log" || fail "the host never rolled back"
    grep -q 'rollbacks [1-9]' "$out/guest.log" || fail "the guest never rolled back"
    ;;
killed)
    host --frames 100000
    guest guest --frames 100000
    joined || fail "the guest never joined"
    kill -9 "$lastPid"
    killedAt=$(date +%s%N)
    wait "$hostPid"
    rc=$?
    elapsed=$((($(date +%s%N) - killedAt) / 1000000))
    echo "the host ended $elapsed ms after the kill, exit $rc"
    grep -q 'connection lost' "$out/host.log" || fail "the host did not say connection lost"
    [ "$rc" -eq 1 ] || fail "the host exited $rc"
    [ "$elapsed" -lt 3000 ] || fail "the host took $elapsed ms"
    ;;
hostile)
    host --frames 400
    guest guest --frames 400 --hostile
    wait "$lastPid" || fail "the guest failed"
    wait "$hostPid" || fail "the host failed"
    grep -q 'sent hostile' "$out/guest.log" || fail "nothing hostile was sent"
    grep -q 'refused a packet from the other side' "$out/host.log" || fail "no refusal named"
    grep -q 'protocol version 2' "$out/host.log" || fail "the other version was not named"
    grep -q 'dropped [1-9]' "$out/host.log" || fail "nothing dropped"
    agreed guest
    ;;
version)
    host --frames 300
    guest old --frames 300 --version 9
    wait "$lastPid"
    rc=$?
    [ "$rc" -eq 1 ] || fail "the guest of another version exited $rc"
    grep -q 'refused by the other side: the protocol versions differ' "$out/old.log" ||
        fail "the guest was not told"
    grep -q 'protocol version 9' "$out/host.log" || fail "the host did not name the version"
    guest guest --frames 300
    wait "$lastPid" || fail "the proper guest failed"
    wait "$hostPid" || fail "the host failed"
    agreed guest
    ;;
third)
    host --frames 400
    guest guest --frames 400
    joined || fail "the guest never joined"
    guestPid=$lastPid
    guest third --frames 400
    wait "$lastPid"
    rc=$?
    [ "$rc" -eq 1 ] || fail "the third program exited $rc"
    grep -q 'the match is full' "$out/third.log" || fail "the third was not told"
    grep -q 'refused a player from 127.0.0.1' "$out/host.log" || fail "the host did not say so"
    wait "$guestPid" || fail "the guest failed"
    wait "$hostPid" || fail "the host failed"
    agreed guest
    ;;
leave)
    host --frames 100000
    guest guest --frames 300
    wait "$lastPid" || fail "the guest failed"
    wait "$hostPid"
    grep -q 'the other player left the match' "$out/host.log" || fail "the host was not told"
    ;;
desync)
    host --frames 1000 --log "$out/host.match"
    guest guest --frames 1000 --corrupt-at 200 --log "$out/guest.match"
    wait "$lastPid"
    guestRc=$?
    wait "$hostPid"
    hostRc=$?
    [ "$hostRc" -eq 1 ] && [ "$guestRc" -eq 1 ] || fail "exits $hostRc and $guestRc"
    for side in host guest; do
        grep -q 'desync at frame 200 (tick 3216)' "$out/$side.log" || fail "$side did not name the frame"
    done
    first=$(diff <(cut -d' ' -f1-4 "$out/host.match") <(cut -d' ' -f1-4 "$out/guest.match") |
            grep -m1 '^[<>] [0-9]' | cut -d' ' -f2)
    [ "$first" = 200 ] || fail "the logs part at frame '$first', not 200"
    grep -h desync "$out/host.log" "$out/guest.log"
    ;;
*)
    echo "unknown case $case"
    exit 2
    ;;
esac
echo "PASS: $case"
