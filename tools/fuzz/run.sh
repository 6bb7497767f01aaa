#!/bin/sh
# Run the loader fuzz targets one after another.
#   tools/fuzz/run.sh [build folder] [seconds per target] [target ...]
# Working corpora and logs go to <build>/fuzz-out/<target>; findings are
# written there as crash-*/leak-*/timeout-*/oom-* files.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-fuzz}" && pwd)
seconds=${2:-600}
shift 2 2>/dev/null || shift $#
targets=${*:-"frameIndex animationIndex moveset particle soundList attackFile command bitmap wav spawnGraph dataCheck packet"}
status=0
for t in $targets; do
  out="$build/fuzz-out/$t"
  mkdir -p "$out/corpus"
  # The game's bitmaps are small (the stage background is under 2 MB): an
  # allocation of 64 MB means the decoder trusted a header it should not.
  extra=
  [ "$t" = bitmap ] && extra=-malloc_limit_mb=64
  # A sound may hold 4 MB of data, and SDL_mixer converts it to the device's
  # format (up to 16 times the size): 128 MB means a header was trusted.
  [ "$t" = wav ] && extra="-malloc_limit_mb=128"
  # SDL's WAV decoder keeps its buffers when it refuses a stream half-way.
  leaks=
  [ "$t" = wav ] && leaks="suppressions=$root/tools/fuzz/wav.supp"
  # Not every target has seeds (the data checker's starts from the shipped
  # data); libFuzzer refuses a corpus folder that is not there.
  seeds=
  [ -d "$root/tools/fuzz/corpus/$t" ] && seeds="$root/tools/fuzz/corpus/$t"
  start=$(date +%s)
  LSAN_OPTIONS="$leaks" "$build/tools/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 $extra \
    -artifact_prefix="$out/" "$out/corpus" $seeds >"$out/log" 2>&1
  rc=$?
  end=$(date +%s)
  echo "$t: exit $rc after $((end - start)) s, $(grep -E '^Done' "$out/log" | tail -1)"
  [ $rc -eq 0 ] || { status=1; grep -E 'ERROR|SUMMARY' "$out/log" | head -3; }
done
exit $status
