#!/usr/bin/env bash
# Peak memory and time of Tessly on small archives that ask for a lot of
# work (see bench/make_hostile.cpp). Prints a table; needs /usr/bin/time
# and some 6 GiB of free disk space for the bitmaps.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release -DTESSLY_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$repo/build-bench" -j "$(nproc)" >/dev/null
tessly=$repo/build-bench/tessly

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
"$repo/build-bench/bench/make_hostile" "$work/in"

printf '%-34s %-7s %9s %12s %14s %s\n' archive mode seconds "peak MiB" "written MiB" "last line about it"
run() {  # archive, mode flags...
  local archive=$1; shift
  local out=$work/out
  rm -rf "$out"; mkdir "$out"
  (cd "$out" && /usr/bin/time -v -o "$work/time" "$tessly" "$@" "$work/in/$archive" > "$work/log" || true)
  local seconds peak written mode="GAF"
  seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' "$work/time")
  peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2/1024}' "$work/time")
  written=$(du -sm --apparent-size "$out" | cut -f1)
  for flag in -B --gif --sheet --check; do [[ " $* " == *" $flag "* ]] && mode=$flag; done
  printf '%-34s %-7s %9s %12s %14s %s\n' "$archive ($(du -k --apparent-size "$work/in/$archive" | cut -f1) KiB)" "$mode" "$seconds" "$peak" "$written" "$(grep -E "HUGE|SHARED|FAR|WIDE|error|problems" "$work/log" | tail -n 1)"
}
run huge.gaf -Y -B
run huge.gaf -Y
run huge.gaf -Y --gif
run huge.gaf -Y --sheet
run huge.gaf --check
run shared200.gaf -Y -B
run shared200.gaf -Y --gif
run shared200.gaf -Y --sheet
# shared.gaf holds 68 GB of pixels for -B, --gif and --sheet: GAF mode and --check only.
run shared.gaf -Y
run shared.gaf --check
run far.gaf -Y --gif
run far.gaf -Y --sheet
run far.gaf --check
