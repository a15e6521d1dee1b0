#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Vantrel need.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libxcb1-dev libosmesa6-dev libcairo2-dev valgrind fontconfig fonts-dejavu-core)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
