#!/usr/bin/env bash
# Two builds of Tessly on the speed benchmark's workloads, run by turns (old,
# new, old, new, ...) so that both meet the same state of the machine. For
# each workload and mode it prints the median wall time of each, their
# ratio, the bytes written, and the brk and mmap calls of one run (strace).
#   bench/compare.sh OLD_TESSLY NEW_TESSLY [RUNS]   (default 11 runs each)
# NEW_TESSLY may be build-bench/tessly, which this script builds first.
# Needs what bench/speed.sh needs.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
old=$(realpath -m "$1") new=$(realpath -m "$2") runs=${3:-11}
source "$repo/bench/workload.sh"

seconds() {  # tessly, arguments...: the wall time of one run in an empty directory
  rm -rf "$work/out" && mkdir "$work/out"
  local start; start=$(date +%s.%N)
  (cd "$work/out" && "$@" >/dev/null)
  echo "$(date +%s.%N) - $start" | bc
}
calls() {  # syscall, tessly, arguments...: how often one run makes it
  local call=$1; shift
  rm -rf "$work/out" && mkdir "$work/out"
  (cd "$work/out" && strace -f -c -o "$work/strace" "$@" >/dev/null)
  awk -v call="$call" '$NF == call {print $4}' "$work/strace"
}

printf '%-3s %-4s %9s %9s %7s %12s %12s %13s %13s\n' wl mode "old s" "new s" new/old "old MB out" "new MB out" \
  "brk old/new" "mmap old/new"
compare() {  # workload, mode name, arguments...
  local workload=$1 mode=$2; shift 2
  local old_times=() new_times=()
  for ((r = 0; r < runs; r++)); do
    old_times+=("$(seconds "$old" "$@")")
    new_times+=("$(seconds "$new" "$@")")
  done
  local o n old_mb new_mb
  o=$(printf '%s\n' "${old_times[@]}" | median) n=$(printf '%s\n' "${new_times[@]}" | median)
  seconds "$old" "$@" >/dev/null && old_mb=$(megabytes "$work/out")
  seconds "$new" "$@" >/dev/null && new_mb=$(megabytes "$work/out")
  printf '%-3s %-4s %9.3f %9.3f %7.3f %12s %12s %13s %13s\n' "$workload" "$mode" "$o" "$n" "$(echo "$n / $o" | bc -l)" \
    "$old_mb" "$new_mb" "$(calls brk "$old" "$@")/$(calls brk "$new" "$@")" \
    "$(calls mmap "$old" "$@")/$(calls mmap "$new" "$@")"
}
for workload in a b; do
  archives=$work/in/a/big.gaf
  [ "$workload" = a ] || archives="$work/in/b/*.gaf"
  compare "$workload" -B -B -Y "$archives" && compare "$workload" PNG --png -Y "$archives" &&
    compare "$workload" GAF -Y "$archives"
done
