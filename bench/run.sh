#!/usr/bin/env bash
# What the launcher costs on top of the installer: builds both Windows targets, runs
# setup.exe under one warm Wine server on media with the recording msiexec.exe, and prints
# one table of figures, targets and whether each is met (bench/measure.py).
#
#   bench/run.sh            BENCH_RUNS (default 20) runs per hand-off figure
#
# A script that prints figures, never a test: the numbers depend on the machine's load.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
win64="$root/build/win64"

build() {
  local preset
  for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 >/dev/null
  done
}

# A fresh folder C:\bench\NAME holding setup.exe, the recording installer and setup.inf
# (standard input, written with Windows line ends); prints its Unix path.
new_medium() {
  local name=$1 dir="$WINEPREFIX/drive_c/bench/$1"
  rm -rf "$dir" && mkdir -p "$dir"
  cp "$win64/setup.exe" "$win64/tests/e2e/tools/msiexec.exe" "$dir/"
  sed 's/\r*$/\r/' >"$dir/setup.inf"
  echo "$dir"
}

prepare_media() {
  handoff_dir=$(new_medium handoff <<'INF'
[Setup]
MSIPKG=agent.msi
MultiLanguage=0
INF
)
  cp "$win64/bench/tools/floor.exe" "$handoff_dir/"
  preinstall_dir=$(new_medium preinstall <<'INF'
[Setup]
MSIPKG=agent.msi
MultiLanguage=0
[PreInstall]
Command1=sleeper.exe
Message1=Preparing the installation...
INF
)
  cp "$win64/bench/tools/sleeper.exe" "$preinstall_dir/"
}

stop_wine() { wineserver -k >/dev/null 2>&1 || true; }

main() {
  bash scripts/install-deps.sh
  # Every Wine program of the run shares one display: Wine's desktop belongs to the first
  # program that starts.
  if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi
  echo "== building" >&2
  build
  # shellcheck source=../scripts/wine-env.sh
  source scripts/wine-env.sh "$root/build/bench-prefix"
  trap stop_wine EXIT
  prepare_media
  echo "== measuring (about $((${BENCH_RUNS:-20} * 2 / 3 + 45)) s)" >&2
  python3 bench/measure.py --wine "$WINE64_LOADER" \
    --handoff-dir "$handoff_dir" --handoff-win 'C:\bench\handoff' \
    --preinstall-dir "$preinstall_dir" --preinstall-win 'C:\bench\preinstall' \
    --setup-i686 "$root/build/win32/setup.exe" --setup-x64 "$win64/setup.exe" \
    --objdump-i686 i686-w64-mingw32-objdump --objdump-x64 x86_64-w64-mingw32-objdump \
    --runs "${BENCH_RUNS:-20}"
}

main "$@"
