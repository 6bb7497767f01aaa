#!/usr/bin/env bash
# The game as a player gets it: builds the Debian package (scripts/package.sh,
# which also runs lintian, desktop-file-validate and appstreamcli validate),
# installs it with apt-get, plays the installed tavro-fighter from an empty
# temporary folder with the real-window test (Xvfb, xdotool: the first
# frame, a fireball, the boxes, Escape and exit code 0), removes and purges
# it and checks that every file it brought is gone.  Then installs the build
# into a DESTDIR staging folder and plays the game from there the same way.
#   scripts/install-test.sh [BUILD_DIR]    default build (scripts/test.sh's),
#                                          a build with the tests
# Installing needs root or sudo; without either, the package and the DESTDIR
# run are still checked.  A tavro-fighter package the machine already has is
# left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/window/wait.sh
dir=${1:-build}
start=$SECONDS
scripts/package.sh "$dir"
deb=$(realpath "$(ls "$dir"/tavro-fighter_*.deb)")
out=$(realpath "$dir")/artifacts/install
scratch=$(mktemp -d)
installed=""
# Whatever fails, the package this test installed does not stay.
cleanup() {
    [ -z "$installed" ] || "${apt[@]}" purge tavro-fighter >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
rm -rf "$out"
mkdir -p "$out"
traced=$(realpath "$dir/tests/window/fighter_traced")
xclose=$(realpath "$dir/tools/xclose/xclose")
[ -x "$traced" ] && [ -x "$xclose" ] ||
    { echo "FAIL: $dir has no fighter_traced or xclose: a build with the tests is needed"; exit 1; }

# Plays the installed game through LAUNCHER with tests/window/window_test.sh,
# from a fresh folder that holds no data/ of its own: only the stage bitmap
# the test compares screenshots with, at the path it reads it from.  The
# test reads the game's trace from standard output: `LAUNCHER --trace`.  Its
# fireball part needs the game that writes each trace line at once, which
# only the build has (tests/window/fighter_traced): that one plays on the
# installed data.  Then the launcher starts once more without a window, as a
# menu would, for the trace log.
play() { # LAUNCHER STAGE_BITMAP NAME
    local folder="$scratch/$3" state="$scratch/$3-state"
    local installed
    installed=$(dirname "$(dirname "$2")")
    mkdir -p "$folder/data"
    cp "$2" "$folder/data/tBG2.bmp"
    printf '#!/bin/sh\nexec "%s" --trace\n' "$1" >"$scratch/$3-game"
    printf '#!/bin/sh\ncd "%s" && exec "%s"\n' "$installed" "$traced" >"$scratch/$3-traced"
    chmod +x "$scratch/$3-game" "$scratch/$3-traced"
    echo "== $3: $1 from $folder"
    tests/window/window_test.sh "$scratch/$3-game" "$scratch/$3-traced" "$xclose" \
        "$folder" "$out/$3" || return 1
    # The game runs until it is ended: once its log holds the round's start.
    (cd "$folder" && XDG_STATE_HOME="$state" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        exec "$1" >"$out/$3/launcher.txt" 2>&1) &
    local menu=$! logged=""
    local log="$state/tavro-fighter/fighter-trace.log"
    if wait_for_trace "$log" "Lets Rock!" 60 "the round's start in the trace log" >/dev/null; then
        logged=yes
    fi
    kill "$menu" 2>/dev/null || true
    wait "$menu" 2>/dev/null || true
    [ -n "$logged" ] || { echo "FAIL: no trace in $log"; return 1; }
    echo "the trace log: $(wc -l <"$log") lines when the game was ended"
    # The versus program's launcher, for 30 frames, its recording named
    # relative to the folder it is started from.
    local versus
    versus="$(dirname "$(command -v "$1")")/tavro-fighter-versus"
    [ -x "$versus" ] || return 0
    (cd "$folder" && XDG_STATE_HOME="$state" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        timeout 20 "$versus" --record match.txt --frames 30 >"$out/$3/versus.txt" 2>&1) ||
        { echo "FAIL: tavro-fighter-versus ended with $?"; cat "$out/$3/versus.txt"; return 1; }
    [ -s "$folder/match.txt" ] || { echo "FAIL: no recording in $folder/match.txt"; return 1; }
    grep -q "Versus:" "$state/tavro-fighter/versus-trace.log" ||
        { echo "FAIL: no trace in $state/tavro-fighter/versus-trace.log"; return 1; }
    echo "the versus launcher: 30 frames, exit code 0, recording in the starting folder"
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null && sudo="sudo" || sudo="none"
fi
if [ "$sudo" = "none" ]; then
    echo "== the package is not installed: this needs root or sudo"
elif dpkg-query -W -f='${Status}' tavro-fighter 2>/dev/null | grep -q "ok installed"; then
    echo "== the package is not installed: this machine has tavro-fighter installed already"
else
    # Two runs on one machine would install and remove the same package.
    exec 9>/tmp/tavro-fighter-install-test.lock
    flock -w 300 9
    apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=120)
    echo "== apt-get install $deb"
    installed=yes
    "${apt[@]}" install "$deb" >"$out/apt-install.log" 2>&1 || { cat "$out/apt-install.log"; exit 1; }
    dpkg -L tavro-fighter >"$out/files.txt"
    # Paths that are not folders (folders such as /usr/share/icons stay for
    # other packages), and the folders that are the game's own.
    mapfile -t files < <(while read -r f; do [ -d "$f" ] || echo "$f"; done <"$out/files.txt")
    owned=(/usr/lib/games/tavro-fighter /usr/share/games/tavro-fighter /usr/share/doc/tavro-fighter)
    # A player's PATH on Debian has /usr/games (root's does not).
    export PATH="$PATH:/usr/games"
    echo "== installed: ${#files[@]} files; $(command -v tavro-fighter)"
    [ "$(command -v tavro-fighter)" = /usr/games/tavro-fighter ] ||
        { echo "FAIL: no /usr/games/tavro-fighter on the PATH"; exit 1; }
    status=0
    play tavro-fighter /usr/share/games/tavro-fighter/data/tBG2.bmp package || status=$?
    echo "== apt-get remove, dpkg --purge"
    "${apt[@]}" remove tavro-fighter >"$out/apt-remove.log" 2>&1 || { cat "$out/apt-remove.log"; exit 1; }
    # A removed package with nothing left to purge is already unknown to apt;
    # dpkg purges what may remain either way.
    $sudo dpkg --purge tavro-fighter >>"$out/apt-remove.log" 2>&1 || { cat "$out/apt-remove.log"; exit 1; }
    installed=""
    [ "$status" -eq 0 ] || exit "$status"
    left=0
    for f in "${files[@]}" "${owned[@]}"; do
        if [ -e "$f" ] || [ -L "$f" ]; then
            echo "left behind: $f"
            left=$((left + 1))
        fi
    done
    [ "$left" -eq 0 ] || { echo "FAIL: $left paths left behind after the purge"; exit 1; }
    if dpkg-query -W -f='${Status}' tavro-fighter 2>/dev/null | grep -q .; then
        echo "FAIL: dpkg still knows tavro-fighter: $(dpkg-query -W -f='${Status}' tavro-fighter)"
        exit 1
    fi
    echo "== removed: all ${#files[@]} files gone"
fi

# The same build installed into a staging folder and played from there.
stage="$scratch/stage"
DESTDIR="$stage" cmake --install "$dir" >"$out/destdir-install.log"
launcher=$(ls "$stage"/usr/games/tavro-fighter)
play "$launcher" "$stage/usr/share/games/tavro-fighter/data/tBG2.bmp" destdir
echo "install test passed in $((SECONDS - start)) s; screenshots in $out"
