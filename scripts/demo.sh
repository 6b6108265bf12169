#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine on the bundled sample medium, in a Wine prefix
# of the build folder, with statusmon.exe watching; then shows what it did.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/build.sh win32 win64 >/dev/null
source scripts/wine-env.sh "$root/build/demo-prefix"
bin="$root/build/win$SETUP_WINE_BITS"
drive_c="$WINEPREFIX/drive_c"
medium="$drive_c/sample-medium"
rm -rf "$medium" && mkdir -p "$medium"
cp -r samples/medium/. "$medium/"
cp "$bin/setup.exe" "$medium/"
temp_dir=$(wine_exe cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp_unix=$("$WINE64_LOADER" winepath -u "$temp_dir" 2>/dev/null | tr -d '\r')
rm -f "$temp_unix/_SETUP.LOG" "$temp_unix/sample-install.log"

statuses=$(mktemp)
timeout 60 bash -c "source scripts/wine-env.sh '$WINEPREFIX'; wine_exe '$bin/statusmon.exe' --idle-exit 4000" >"$statuses" 2>/dev/null &
monitor=$!
sleep 1
echo "== setup.exe /q /r on the sample medium (C:\\sample-medium)"
set +e
timeout 120 xvfb-run -a bash -c "source scripts/wine-env.sh '$WINEPREFIX'; wine_exe '$bin/runexit.exe' 'C:\\sample-medium\\setup.exe' /q /r" 2>/dev/null | tr -d '\r'
set -e
wait $monitor 2>/dev/null || true
echo "== status messages received by statusmon.exe"
if [ -s "$statuses" ]; then tr -d '\r' <"$statuses"; else echo "(none: nothing failed)"; fi
echo "== Windows Installer log lines ($temp_dir\\sample-install.log)"
[ -f "$temp_unix/sample-install.log" ] && tr -d '\r' <"$temp_unix/sample-install.log" || echo "(none)"
echo "== setup log ($temp_dir\\_SETUP.LOG)"
[ -f "$temp_unix/_SETUP.LOG" ] && tr -d '\r' <"$temp_unix/_SETUP.LOG" || echo "(none)"
rm -f "$statuses"
wineserver -k >/dev/null 2>&1 || true
