#!/usr/bin/env bash
# Installs with apt-get those of the Debian packages named that this machine
# lacks, as root or through sudo; does nothing when it has them all.
#   tools/install-packages.sh PACKAGE...
set -euo pipefail
need=()
for package in "$@"; do
  dpkg -s "$package" >/dev/null 2>&1 || need+=("$package")
done
[ ${#need[@]} -gt 0 ] || exit 0
echo "Installing ${need[*]}"
# sudo resets the environment, so the front end is set for apt-get itself.
as_root=(env DEBIAN_FRONTEND=noninteractive)
[ "$(id -u)" -eq 0 ] || as_root=(sudo "${as_root[@]}")
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${need[@]}"
