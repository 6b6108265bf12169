#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian machine (run as root).
# Skips packages that are already installed, so a second run costs a few seconds.
set -euo pipefail

need=(
  cmake ninja-build g++ make googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix  # setupsim for Windows: std::thread needs the posix thread model
  wine wine32:i386 wine64 xvfb xdotool msitools wixl icoutils imagemagick x11-utils
  clang libclang-rt-14-dev python3
)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]}; run this script as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
