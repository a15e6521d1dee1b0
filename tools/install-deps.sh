#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Vantrel need.
# Runs apt-get only when something is missing; uses sudo when not root.
#   --aarch64  also what the 64-bit ARM cross build and its tests need
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libosmesa6-dev libcairo2-dev valgrind fontconfig fonts-dejavu-core)
# The 64-bit ARM cross build: Debian's cross compiler, qemu-user to run the tests, GoogleTest's
# sources to build for the target, and the arm64 Qt from the multiarch archive.
aarch64=no
if [[ " $* " == *" --aarch64 "* ]]; then
    aarch64=yes
    packages+=(g++-aarch64-linux-gnu qemu-user googletest qt6-base-dev:arm64 qt6-qpa-plugins:arm64)
fi
missing=()
native=$(dpkg --print-architecture)
for package in "${packages[@]}"; do
    # With a second architecture installed, a plain name can be ambiguous: ask for the native one.
    dpkg -s "$package" >/dev/null 2>&1 || dpkg -s "$package:$native" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
if [ $aarch64 = yes ] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    "${as_root[@]}" dpkg --add-architecture arm64
fi
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
