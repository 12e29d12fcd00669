#!/usr/bin/env bash
# Installs what the build lacks, builds tessly, takes the demo archive
# apart with --png --json in a new scratch directory, whose files it lists,
# packs it again from them, byte for byte, writes the demo's animated GIF
# files and sprite sheets beside them, and checks the archive.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
"$repo/tools/install-packages.sh" cmake g++ make pkg-config libspng-dev libgif-dev nlohmann-json3-dev
cmake -S "$repo" -B "$repo/build" >/dev/null
cmake --build "$repo/build" -j2 --target tessly
out=$(mktemp -d)
cd "$out"
"$repo/build/tessly" --png --json "$repo/demo/demo.gaf"
echo
echo "In $out:"
ls
echo
"$repo/build/tessly" --pack demo.gaf demo.gaf.json
cmp demo.gaf "$repo/demo/demo.gaf" && echo "demo.gaf is the demo archive again, byte for byte"
echo
"$repo/build/tessly" --gif -Y demo.gaf
"$repo/build/tessly" --sheet -Y demo.gaf
"$repo/build/tessly" --check demo.gaf
