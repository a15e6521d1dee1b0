#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Vantrel need; with --windows
# also those the Windows cross build and its tests under Wine need (the 32-bit Wine runs the
# installer, which NSIS builds as a 32-bit program); with --aarch64 those of the 64-bit ARM cross
# build and its tests under qemu-user.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail
windows=0
aarch64=0
for argument in "$@"; do
    case "$argument" in
        --windows) windows=1 ;;
        --aarch64) aarch64=1 ;;
        *) echo "usage: $0 [--windows] [--aarch64]" >&2; exit 2 ;;
    esac
done
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libxcb1-dev libosmesa6-dev libcairo2-dev valgrind fontconfig fonts-dejavu-core
          xvfb xauth dbus at-spi2-core python3-pyatspi)
if [ $windows -eq 1 ]; then
    packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64 wine32:i386 nsis icoutils imagemagick)
fi
# The 64-bit ARM cross build: Debian's cross compiler, qemu-user to run the tests, GoogleTest's
# sources to build for the target, and the arm64 Qt from the multiarch archive.
if [ $aarch64 -eq 1 ]; then
    packages+=(g++-aarch64-linux-gnu qemu-user googletest qt6-base-dev:arm64 qt6-qpa-plugins:arm64)
fi
# A name with an architecture (wine32:i386) wants that one; any other the native one or "all", also
# where other architectures' copies of it are installed beside it.
native=$(dpkg --print-architecture)
installed() {
    local architecture=${1#*:}
    [ "$architecture" = "$1" ] && architecture=$native
    dpkg-query -W -f='${db:Status-Status} ${Architecture}\n' "$1" 2>/dev/null | grep -Eqx "installed ($architecture|all)"
}
missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
foreign=$(dpkg --print-foreign-architectures)
if [ $windows -eq 1 ] && ! grep -qx i386 <<<"$foreign"; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
if [ $aarch64 -eq 1 ] && ! grep -qx arm64 <<<"$foreign"; then
    "${as_root[@]}" dpkg --add-architecture arm64
fi
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
