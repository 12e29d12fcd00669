# Sourced by the speed benchmarks, with $repo set: builds build-bench and
# writes the workloads of bench/make_workload.cpp into $work/in/a and
# $work/in/b. $work lies on a memory file system by default, so that the
# figures are Tessly's, not the disk's (TMPDIR chooses another place), and
# is removed at exit.
cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release -DTESSLY_BENCHMARKS=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$repo/build-bench" -j "$(nproc)" >/dev/null
base=${TMPDIR:-/dev/shm}
[ -d "$base" ] || base=/tmp
work=$(mktemp -d "$base/tessly-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in/a" "$work/in/b"
"$repo/build-bench/bench/make_workload" "$work/in"

median() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
megabytes() { du -s --apparent-size --block-size=1 "$@" | awk '{s+=$1} END {printf "%.1f", s/1e6}'; }
