#!/usr/bin/env bash
# The installed launchers, as a player meets them: the build installed into
# a temporary prefix (cmake --install --prefix), and each launcher started
# from a folder of the player's, through a link of its own on the PATH.
# The program behind each launcher is swapped for a stand-in that says
# where it ran, with which options, and ends with the code it is told: the
# launcher must start it in the installed data's folder, pass every option
# as it came (a relative --record FILE taken from the player's folder), send
# its trace to the log written anew at each start (or, with --trace or
# without a writable log folder, to standard output), keep its errors on
# standard error, and end with its exit code.  First, the real game behind
# the launcher, unable to open a display, ends with 1 and its reason in the
# log, and at a terminal the launcher shows that reason.
#   launcher_test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/the prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log"

fail() {
    echo "FAIL: $*"
    exit 1
}

# The player's own folders: where they stand, their PATH, their state.
player="$work/a player's folder"
mkdir -p "$player/bin"
export HOME="$work/home" XDG_STATE_HOME="$work/home/state"
unset SDL_VIDEODRIVER SDL_AUDIODRIVER

# The real game, before a stand-in takes its place: no display it can open.
launcher=$(find "$prefix" -type f \( -path "$prefix/bin/tavro-fighter" -o -path "$prefix/games/tavro-fighter" \))
[ -x "$launcher" ] || fail "no launcher tavro-fighter under $prefix"
data="$prefix/share/games/tavro-fighter"
log="$XDG_STATE_HOME/tavro-fighter/fighter-trace.log"
set +e
(cd "$player" && SDL_VIDEODRIVER=no-such-display timeout 20 "$launcher" >"$work/out" 2>"$work/err")
code=$?
set -e
[ "$code" = 1 ] || fail "the game without a display: exit code $code, not 1"
grep -q "Unable to init SDL" "$log" || fail "the reason the game stopped is not in $log"
# At a terminal the launcher shows that reason too.
set +e
SHOWN_FROM=$player SHOWN_LAUNCHER=$launcher SDL_VIDEODRIVER=no-such-display \
    timeout 20 script -qec 'cd "$SHOWN_FROM" && "$SHOWN_LAUNCHER"' /dev/null >"$work/terminal" 2>&1
code=$?
set -e
[ "$code" = 1 ] || fail "the game without a display at a terminal: exit code $code, not 1"
grep -q "exit code 1; the trace's last line: Unable to init SDL" "$work/terminal" ||
    fail "the launcher at a terminal did not show why the game stopped: $(cat "$work/terminal")"
echo "the installed game without a display: exit code 1, the reason in the log and at a terminal"

# Checks one launcher against the stand-in for PROGRAM.
check_launcher() { # LAUNCHER_NAME PROGRAM
    local name=$1 program=$2 link="$player/bin/$1" code
    local launcher
    launcher=$(find "$prefix" -type f \( -path "$prefix/bin/$name" -o -path "$prefix/games/$name" \))
    [ -x "$launcher" ] || fail "no launcher $name under $prefix"
    local target="$prefix/lib/games/tavro-fighter/$program"
    [ -x "$target" ] || fail "$name: no $target"
    # The stand-in writes its folder and its options, one a line, a trace
    # line and an error line, and ends with $STAND_IN_CODE.
    cat >"$target" <<'EOF'
#!/bin/sh
pwd >"$STAND_IN_OUT/folder"
: >"$STAND_IN_OUT/options"
for option in "$@"; do printf '[%s]\n' "$option" >>"$STAND_IN_OUT/options"; done
echo "a trace line"
echo "an error line" >&2
exit "$STAND_IN_CODE"
EOF
    ln -sf "$launcher" "$link"
    export STAND_IN_OUT="$work/$name"
    mkdir -p "$STAND_IN_OUT"
    local log="$XDG_STATE_HOME/tavro-fighter/$program-trace.log"
    run() { # CODE OPTION...
        local wanted=$1
        shift
        set +e
        (cd "$player" && STAND_IN_CODE=$wanted PATH="$player/bin:$PATH" "$name" "$@" \
            >"$work/out" 2>"$work/err")
        code=$?
        set -e
        [ "$code" = "$wanted" ] || fail "$name $*: exit code $code, not $wanted"
        [ "$(cat "$STAND_IN_OUT/folder")" = "$data" ] ||
            fail "$name ran $program in $(cat "$STAND_IN_OUT/folder"), not $data"
        [ "$(cat "$work/err")" = "an error line" ] ||
            fail "$name: standard error is '$(cat "$work/err")'"
    }

    # Options pass as they came: spaces, an empty one, --record made
    # absolute from the player's folder, an absolute one left alone.
    run 0 --frames 30 "two words" "" --record "match one.txt" --record /tmp/abs.txt --record
    printf '[%s]\n' --frames 30 "two words" "" --record "$player/match one.txt" \
        --record /tmp/abs.txt --record >"$work/wanted"
    diff "$work/wanted" "$STAND_IN_OUT/options" >&2 || fail "$name passed other options"
    [ ! -s "$work/out" ] || fail "$name: the trace reached standard output: $(cat "$work/out")"
    [ "$(cat "$log")" = "a trace line" ] || fail "$name: $log holds '$(cat "$log")'"

    # The log is written anew at each start; the exit code is the program's.
    run 7
    [ "$(cat "$log")" = "a trace line" ] || fail "$name: $log was not written anew"
    [ ! -s "$STAND_IN_OUT/options" ] || fail "$name passed options nobody gave"

    # --trace: the trace on standard output, and not an option of the program.
    run 3 --trace --frames 2
    [ "$(cat "$work/out")" = "a trace line" ] || fail "$name --trace: no trace on standard output"
    [ "$(cat "$STAND_IN_OUT/options")" = $'[--frames]\n[2]' ] || fail "$name --trace passed --trace on"

    # No folder for the log: the trace goes to standard output instead.
    XDG_STATE_HOME=/proc/no-such-folder run 0
    [ "$(cat "$work/out")" = "a trace line" ] || fail "$name without a log folder lost the trace"
    # Nor without a home: no folder is made in its place.
    (unset HOME XDG_STATE_HOME && run 0)
    [ "$(cat "$work/out")" = "a trace line" ] || fail "$name without a home lost the trace"
    echo "$name: started in the data's folder from $player, options, log and exit codes as they should be"
}

check_launcher tavro-fighter fighter
if [ -n "$(find "$prefix" -name tavro-fighter-versus -type f)" ]; then
    check_launcher tavro-fighter-versus versus
fi
