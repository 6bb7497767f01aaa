#!/usr/bin/env bash
# The sync test's self-check: for every field of the saved state, some
# recorded game must fail the sync test when the restores leave that field
# out.  A field no game catches is either not needed in the state or not
# exercised by any recorded game; both are faults to mend.
#   syncSelfCheck.sh REPLAY DEPTHS FILE...    (from the folder that holds data/)
# DEPTHS: the rollback depths to try, comma-separated ("8,1"): a field can
# matter only at some frame boundaries, and each depth puts the restores'
# left-out value at a different distance from them.
set -uo pipefail
replay=$1 depths=${2//,/ }
shift 2
missed=0
for field in $("$replay" --fields "$1"); do
    caught=""
    for file in "$@"; do
        for depth in $depths; do
            if ! "$replay" "$file" --sync-test "$depth" --keep "$field" >/dev/null 2>/tmp/sync-self-check.$$; then
                caught="$file (depth $depth): $(tail -1 /tmp/sync-self-check.$$ | sed 's/.*sync test failed at //')"
                break 2
            fi
        done
    done
    if [ -n "$caught" ]; then
        echo "$field: caught by $caught"
    else
        echo "$field: NOT caught by any recorded game"
        missed=1
    fi
done
rm -f /tmp/sync-self-check.$$
exit $missed
