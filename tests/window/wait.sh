# Waiting on the game, for the tests that drive it from a shell: source this
# file.  Every wait polls what the game reports (its trace, its window, its
# process) against a deadline in real seconds, and on giving up says on
# standard error what it waited for and how long.  None of them fails the
# test by itself: the caller decides (`... || fail "..."`), so a wait can
# also be one try of several.
#
#   wait_until TIMEOUT_S WHAT COMMAND [ARG...]
#       runs COMMAND every tenth of a second until it succeeds.
#   trace_lines FILE
#       prints how many complete lines FILE holds now: a mark to wait after.
#   wait_for_trace FILE PATTERN TIMEOUT_S WHAT [AFTER_LINE]
#       waits for a complete line after line AFTER_LINE (default 0) of FILE
#       that matches the extended regular expression PATTERN; prints it.
#   wait_for_trace_at FILE PATTERN TIMEOUT_S WHAT [AFTER_LINE]
#       the same, printing the line's number, a colon, then the line.
#   wait_for_exit PID TIMEOUT_S WHAT
#       waits until the process PID (a child of this shell) has ended.
#
# Bash only: the deadlines read $EPOCHREALTIME.

# Milliseconds since the epoch.
wait_now_ms() {
    local now=${EPOCHREALTIME/[.,]/}
    echo $((10#$now / 1000))
}

wait_gave_up() { # WHAT TIMEOUT_S
    echo "gave up after $2 s waiting for $1" >&2
}

wait_until() {
    local timeout=$1 what=$2
    shift 2
    local deadline=$(($(wait_now_ms) + timeout * 1000))
    while :; do
        "$@" && return 0
        [ "$(wait_now_ms)" -lt "$deadline" ] || break
        sleep 0.1
    done
    wait_gave_up "$what" "$timeout"
    return 1
}

trace_lines() {
    [ -e "$1" ] || {
        echo 0
        return
    }
    wc -l <"$1"
}

# The first complete line after line $3 of file $1 matching $2, if any.
wait_trace_match() {
    local file=$1 after=$3 lines
    [ -e "$file" ] || return 1
    # Only lines that end in a newline: the game may be in the middle of one.
    lines=$(wc -l <"$file")
    [ "$lines" -gt "$after" ] || return 1
    WAIT_PATTERN=$2 awk -v after="$after" -v lines="$lines" \
        'NR > lines { exit 1 }
         NR > after && $0 ~ ENVIRON["WAIT_PATTERN"] {
             print (ENVIRON["WAIT_NUMBERED"] ? NR ":" : "") $0; found = 1; exit
         }
         END { exit !found }' "$file"
}

wait_for_trace() {
    local file=$1 pattern=$2 timeout=$3 what=$4 after=${5:-0}
    wait_until "$timeout" "$what" wait_trace_match "$file" "$pattern" "$after"
}

wait_for_trace_at() {
    WAIT_NUMBERED=1 wait_for_trace "$@"
}

wait_process_gone() {
    ! kill -0 "$1" 2>/dev/null
}

wait_for_exit() {
    wait_until "$2" "$3" wait_process_gone "$1"
}
