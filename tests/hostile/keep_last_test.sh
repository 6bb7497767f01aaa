#!/usr/bin/env bash
# The launcher's trace log stays bounded: 25 MB of trace through
# keep-last.sh with 1 MB parts leave at most 2 MB, ending with the trace's
# last line, and the writer is never stopped by a closed pipe.
set -euo pipefail
keep=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log=$dir/trace.log
set +e
seq 1 3200000 | "$keep" "$log" 1048576
status=("${PIPESTATUS[@]}")
set -e
[ "${status[0]}" = 0 ] || { echo "the writer ended with ${status[0]}"; exit 1; }
[ "${status[1]}" = 0 ] || { echo "keep-last.sh ended with ${status[1]}"; exit 1; }
total=$(cat "$log" "$log.1" | wc -c)
[ "$total" -le 2097152 ] || { echo "kept $total bytes, more than 2 MB"; exit 1; }
[ "$(tail -n 1 "$log")" = 3200000 ] || { echo "the last line is not the trace's last"; exit 1; }
# The kept parts are the end of the trace, whole and in order.
cat "$log.1" "$log" | tail -n +2 | awk 'NR > 1 && $1 != prev + 1 { exit 1 } { prev = $1 }' ||
    { echo "the kept trace is not one piece"; exit 1; }
# A short trace stays whole in one file.
seq 1 10 | "$keep" "$log" 1048576
[ "$(wc -l <"$log")" = 10 ] && [ ! -e "$log.1" ] || { echo "a short trace was not kept whole"; exit 1; }
echo "keep-last.sh: $total bytes kept of 25 MB"
