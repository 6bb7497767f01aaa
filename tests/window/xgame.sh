# The game in a real X window, for the tests that drive it from a shell:
# source this file (after wait.sh).  An Xvfb server of the test's own, games
# started on it with their trace and errors in files, their windows found by
# title, and screenshots judged pixel by pixel.  Everything started here is
# ended when the test's shell exits.
#
#   xgame_server OUT              starts Xvfb, exports DISPLAY (log in OUT)
#   xgame_launch PROGRAM NAME OUT starts PROGRAM from the current folder,
#                                 trace in OUT/NAME.trace.txt, errors in
#                                 OUT/NAME.stderr.txt; sets xgame_pid
#   xgame_window TITLE TIMEOUT_S  prints the id of the window titled TITLE
#   xgame_shot WINDOW FILE        a screenshot of the window, as PNG
#   xgame_pixel FILE X Y          the colour at X,Y as RRGGBB
#   xgame_count_colour FILE RRGGBB      how many pixels have that colour
#   xgame_differs FILE REFERENCE W H X Y
#       how many pixels of the rectangle differ from the same rectangle
#       of REFERENCE (the stage bitmap, say)

xgame_pids=()
trap 'xgame_end' EXIT

# Ends what this file started, newest first, each by its own process id.
xgame_end() {
    local i
    for ((i = ${#xgame_pids[@]} - 1; i >= 0; i--)); do
        kill "${xgame_pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
}

# A server on a display number it picks itself, so that nothing else running
# on this machine can answer in its place.
xgame_server() {
    local out=$1
    rm -f "$out/display"
    exec 3>"$out/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xgame_pids+=($!)
    exec 3>&-
    wait_until 30 "Xvfb to tell its display number" test -s "$out/display" || return 1
    export DISPLAY=":$(head -1 "$out/display")"
    wait_until 30 "Xvfb to answer on $DISPLAY" xgame_answers || return 1
}

xgame_answers() {
    xdpyinfo >/dev/null 2>&1
}

xgame_launch() {
    local program=$1 name=$2 out=$3
    # Built with the sanitizers and run on sdl12-compat, a real window leaves
    # SDL2's leaks in helper libraries it has already unloaded at exit, where
    # no suppression can name them; the leak check stays on everywhere else.
    local asan=${ASAN_OPTIONS:-}
    if [ -n "$asan" ] && [[ "${LD_LIBRARY_PATH:-}" == *sdl12-compat* ]]; then
        asan="$asan:detect_leaks=0"
    fi
    ASAN_OPTIONS=$asan SDL_AUDIODRIVER=dummy "$program" \
        >"$out/$name.trace.txt" 2>"$out/$name.stderr.txt" &
    xgame_pid=$!
    xgame_pids+=("$xgame_pid")
}

xgame_window_found() {
    xgame_found=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [ -n "$xgame_found" ]
}

xgame_window() {
    xgame_found=""
    wait_until "$2" "a window titled \"$1\"" xgame_window_found "$1" || return 1
    echo "$xgame_found"
}

xgame_shot() {
    import -window "$1" "$2"
}

xgame_pixel() {
    convert "$1" -format "%[hex:u.p{$2,$3}]" info: | cut -c1-6
}

xgame_count_colour() {
    convert "$1" -fill black +opaque "#$2" -fill white -opaque "#$2" \
        -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}

xgame_differs() {
    compare -metric AE "$1[$3x$4+$5+$6]" "$2[$3x$4+$5+$6]" null: 2>&1 | cut -d' ' -f1
}
