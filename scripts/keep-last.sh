#!/usr/bin/env bash
# Copies standard input into LOG, keeping only the latest part of it: when
# LOG reaches PART bytes it becomes LOG.1 (replacing the one before) and LOG
# starts again.  LOG and LOG.1 together hold at most 2 x PART bytes, and
# always the last PART bytes or more.  Reads to the end of its input, so the
# writer is never stopped by a closed pipe.
#   scripts/keep-last.sh LOG PART
set -uo pipefail
log=$1
part=$2
rm -f "$log.1"
while :; do
    # head reads exactly PART bytes, or up to the end of the input.
    head -c "$part" >"$log"
    [ "$(stat -c %s "$log")" -lt "$part" ] && break
    mv -f "$log" "$log.1"
done
