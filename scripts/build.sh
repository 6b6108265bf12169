#!/usr/bin/env bash
# Builds the launcher: the native build against the simulated machine (with sanitizers),
# the Windows builds (i686, the shipped one, and x64) and setupsim for Windows (x64).
#   scripts/build.sh [native|win32|win64|win64-tools]...   (default: all four)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(native win32 win64 win64-tools)
for p in "${presets[@]}"; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p"
done
