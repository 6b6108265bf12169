# Sourced by the scripts that run Windows programs under Wine:
#   source scripts/wine-env.sh [PREFIX_DIR]
# Sets up a Wine prefix of the project's own (never ~/.wine), keeps one Wine server alive
# for the run and defines `wine_exe PROGRAM ARGS...`.
#
# 32-bit Linux programs cannot start on some kernels (no IA32 emulation); Wine's 32-bit
# loader is then unusable and only 64-bit Windows programs can run. SETUP_WINE_BITS says
# which: 64 always works where wine64 is installed, 32 where the kernel allows it.

_wine_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${1:-${WINEPREFIX_DIR:-$_wine_root/build/wineprefix}}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64_LOADER=/usr/lib/wine/wine64
WINE32_LOADER=/usr/lib/wine/wine
export WINELOADER="$WINE64_LOADER"

if [ -z "${SETUP_WINE_BITS:-}" ]; then
  if [ -x "$WINE32_LOADER" ] && "$WINE32_LOADER" --version >/dev/null 2>&1; then
    SETUP_WINE_BITS=32
  else
    SETUP_WINE_BITS=64
  fi
fi
export SETUP_WINE_BITS

wine_exe() {
  if [ "$SETUP_WINE_BITS" = 32 ]; then
    WINELOADER="$WINE32_LOADER" "$WINE32_LOADER" "$@"
  else
    "$WINE64_LOADER" "$@"
  fi
}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  WINEARCH=win64 "$WINE64_LOADER" wineboot -i >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
fi
# One server for the whole run: later starts are then fast.
wineserver -p >/dev/null 2>&1 || true
