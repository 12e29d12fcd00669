#!/usr/bin/env bash
# Downloads Debian's source packages of libspng and giflib into DIRECTORY
# (default build-deps/), for the Windows build, which compiles both from
# them (cmake/spng.cmake, cmake/gif.cmake):
#   tools/fetch-sources.sh [DIRECTORY]
# When apt has no source entries, it adds a deb-src entry for every deb
# entry of the machine's own apt sources (as root or through sudo), so the
# source comes from where the machine's packages come from.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
directory=${1:-$repo/build-deps}
mkdir -p "$directory"
cd "$directory"
ls libspng_*.orig.tar.* giflib_*.dsc >/dev/null 2>&1 && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
fetch() { apt-get source --download-only libspng giflib >/dev/null 2>&1; }
if ! fetch; then
  # Each deb822 stanza again as deb-src, and each one-line "deb" entry as "deb-src".
  sources=/etc/apt/sources.list.d/tessly-deb-src
  for list in /etc/apt/sources.list.d/*.sources; do
    if [ -e "$list" ] && [ "$list" != "$sources.sources" ]; then sed -E 's/^Types:.*/Types: deb-src/' "$list" && echo; fi
  done | "${as_root[@]}" tee "$sources.sources" >/dev/null
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [ -e "$list" ] && [ "$list" != "$sources.list" ]; then sed -n 's/^deb \(.*\)/deb-src \1/p' "$list"; fi
  done | "${as_root[@]}" tee "$sources.list" >/dev/null
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update >/dev/null
  fetch
fi
ls libspng_*.orig.tar.* giflib_*.dsc
