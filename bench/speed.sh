#!/usr/bin/env bash
# How fast Tessly takes archives apart, against the floor of copying the
# files it writes. Builds the workloads of bench/make_workload.cpp (fixed
# seed): (a) one archive of about 150 MB and 20,000 entries, (b) 2,000
# archives of about 50 KB. For each workload and mode (-B, --png, GAF
# mode, --gif and --sheet, which must take no longer than --png) it prints the median
# wall time of Tessly and of `cp -r` of Tessly's output, their ratio, MB/s
# in and out, files per second, system calls per output file (strace -c -f)
# and peak memory (/usr/bin/time -v) against its target; then the round
# trip of workload a through --png --json and --pack; then the row-code
# benchmark. Needs strace, /usr/bin/time, bc and Google Benchmark
# (apt-get install strace time bc libbenchmark-dev) and about 2 GB of
# memory or disk.
#   bench/speed.sh [RUNS]      (default 5 runs a measurement)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
tessly=${TESSLY_BINARY:-$repo/build-bench/tessly}  # another build can be measured the same way
source "$repo/bench/workload.sh"

now() { date +%s.%N; }

printf '%-3s %-4s %8s %8s %6s %9s %9s %9s %11s %9s %13s\n' \
  wl mode "tessly s" "floor s" ratio "in MB/s" "out MB/s" "files/s" "calls/file" "peak MiB" "memory target"
measure() {  # workload, mode name, tessly arguments...
  local workload=$1 mode=$2; shift 2
  local tessly_times=() floor_times=() out=$work/out floor=$work/floor
  for ((r = 0; r < runs; r++)); do
    rm -rf "$out" "$floor"; mkdir "$out"
    local start; start=$(now)
    (cd "$out" && "$tessly" "$@" >/dev/null)
    tessly_times+=("$(echo "$(now) - $start" | bc)")
    start=$(now)
    cp -r "$out" "$floor"
    floor_times+=("$(echo "$(now) - $start" | bc)")
  done
  local t f files in_mb out_mb
  t=$(printf '%s\n' "${tessly_times[@]}" | median)
  f=$(printf '%s\n' "${floor_times[@]}" | median)
  files=$(find "$out" -type f | wc -l)
  in_mb=$(megabytes "$work/in/$workload")
  out_mb=$(megabytes "$out")
  # The largest output is the largest image's BMP, or the largest entry's GAF file.
  local largest; largest=$(find "$out" -type f -printf '%s\n' | sort -n | tail -n 1)
  local target
  if [ "$mode" != GAF ]; then target=$(( (largest + 16 * 1048576) / 1048576 )); else target=$(( (2 * largest + 16 * 1048576) / 1048576 )); fi

  rm -rf "$out"; mkdir "$out"
  (cd "$out" && strace -c -f -o "$work/strace" "$tessly" "$@" >/dev/null)
  local calls; calls=$(awk '$NF == "total" {print $(NF-2)}' "$work/strace")
  rm -rf "$out"; mkdir "$out"
  (cd "$out" && /usr/bin/time -v -o "$work/time" "$tessly" "$@" >/dev/null)
  local peak; peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2/1024}' "$work/time")

  printf '%-3s %-4s %8.3f %8.3f %6.2f %9.1f %9.1f %9.0f %11.2f %9s %13s\n' "$workload" "$mode" "$t" "$f" \
    "$(echo "$t / $f" | bc -l)" "$(echo "$in_mb / $t" | bc -l)" "$(echo "$out_mb / $t" | bc -l)" \
    "$(echo "$files / $t" | bc -l)" "$(echo "$calls / $files" | bc -l)" "$peak" "<= $target MiB"
}
measure a -B -B -Y "$work/in/a/big.gaf"
measure a PNG --png -Y "$work/in/a/big.gaf"
measure a GAF -Y "$work/in/a/big.gaf"
measure b -B -B -Y "$work/in/b/*.gaf"
measure b PNG --png -Y "$work/in/b/*.gaf"
measure b GAF -Y "$work/in/b/*.gaf"
measure a GIF --gif -Y "$work/in/a/big.gaf"
measure a SHEET --sheet -Y "$work/in/a/big.gaf"
measure b GIF --gif -Y "$work/in/b/*.gaf"
measure b SHEET --sheet -Y "$work/in/b/*.gaf"

# The round trip: the median time to take workload a apart with --png
# --json, and to pack it again from that output (its target: at most the
# time of taking it apart); then whether the packed archive, taken apart
# and packed again, is the same file.
echo
printf '%-10s %8s %8s %6s %12s\n' "round trip" "apart s" "pack s" ratio "byte for byte"
apart_times=() pack_times=()
for ((r = 0; r < runs; r++)); do
  rm -rf "$work/out" && mkdir "$work/out"
  start=$(now)
  (cd "$work/out" && "$tessly" --png --json -Y "$work/in/a/big.gaf" >/dev/null)
  apart_times+=("$(echo "$(now) - $start" | bc)")
  start=$(now)
  (cd "$work/out" && "$tessly" --pack -Y packed.gaf big.gaf.json >/dev/null)
  pack_times+=("$(echo "$(now) - $start" | bc)")
done
mkdir "$work/out/again"
(cd "$work/out/again" && "$tessly" --png --json ../packed.gaf >/dev/null && "$tessly" --pack again.gaf packed.gaf.json >/dev/null)
same=no
cmp -s "$work/out/packed.gaf" "$work/out/again/again.gaf" && same=yes
apart=$(printf '%s\n' "${apart_times[@]}" | median) pack=$(printf '%s\n' "${pack_times[@]}" | median)
printf '%-10s %8.3f %8.3f %6.2f %12s\n' a "$apart" "$pack" "$(echo "$pack / $apart" | bc -l)" "$same"

echo
"$repo/build-bench/bench/row_codes_bench" --benchmark_counters_tabular=true 2>/dev/null
