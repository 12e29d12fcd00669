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

printf '%-34s %-6s %9s %12s %14s %s\n' archive mode seconds "peak MiB" "written MiB" "last line about it"
run() {  # archive, mode flags...
  local archive=$1; shift
  local out=$work/out
  rm -rf "$out"; mkdir "$out"
  (cd "$out" && /usr/bin/time -v -o "$work/time" "$tessly" -Y "$@" "$work/in/$archive" > "$work/log")
  local seconds peak written mode="GAF"
  seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' "$work/time")
  peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2/1024}' "$work/time")
  written=$(du -sm --apparent-size "$out" | cut -f1)
  [[ " $* " == *" -B "* ]] && mode="-B"
  printf '%-34s %-6s %9s %12s %14s %s\n' "$archive ($(du -k --apparent-size "$work/in/$archive" | cut -f1) KiB)" "$mode" "$seconds" "$peak" "$written" "$(grep -E "HUGE|SHARED" "$work/log" | tail -n 1)"
}
run huge.gaf -B
run huge.gaf
run shared200.gaf -B
run shared.gaf
