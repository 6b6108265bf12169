#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine on the bundled sample medium: Wine's own
# msiexec installs the sample package while statusmon.exe watches. Then shows what the
# launcher did: its exit code, the status messages, the installer log lines, the setup log,
# and the installed product.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
# Every Wine program of the run shares one display: Wine's desktop belongs to the first
# program that starts, and windows need one.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi
echo "== building"
for p in win32 win64; do
  cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" >/dev/null
done
source scripts/wine-env.sh "$root/build/demo-prefix"
bin="$root/build/win$SETUP_WINE_BITS"
medium="$WINEPREFIX/drive_c/sample-medium"
rm -rf "$medium" && cp -r "$bin/sample-medium" "$medium"
temp_dir=$(wine_exe cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp_unix=$(wine_exe winepath -u "$temp_dir" 2>/dev/null | tr -d '\r')
rm -f "$temp_unix/_SETUP.LOG" "$temp_unix/sample-install.log" "$temp_unix/sample-steps.log"
wine_exe msiexec /x 'C:\sample-medium\sample.msi' /qn >/dev/null 2>&1 || true

statuses=$(mktemp)
(wine_exe "$bin/statusmon/statusmon.exe" --idle-exit 8000 >"$statuses" 2>/dev/null || true) &
monitor=$!
sleep 2
echo "== C:\\sample-medium\\setup.exe /q /r   (quiet, status to this computer)"
wine_exe "$bin/tests/e2e/tools/runexit.exe" --timeout 180000 'C:\sample-medium\setup.exe' /q /r 2>/dev/null |
  tr -d '\r' | sed 's/^exit=/setup.exe exit code: /'
wait $monitor 2>/dev/null || true
echo "== status messages received by statusmon.exe"
tr -d '\r' <"$statuses"
rm -f "$statuses"
echo "== Windows Installer log ($temp_dir\\sample-install.log, written by msiexec /lv)"
{ grep -a -E 'Property\((S|C)\): (SETUPDIR|COPYPATH|LANGUAGEID|ALLUSERS|TRANSFORMS|ProductLanguage|LANGUAGENAME) ' "$temp_unix/sample-install.log" |
  sort -u | tr -d '\r'; tail -n 2 "$temp_unix/sample-install.log" | tr -d '\r'; } 2>/dev/null || echo "(none)"
echo "== setup log ($temp_dir\\_SETUP.LOG)"
{ tr -d '\r' <"$temp_unix/_SETUP.LOG"; } 2>/dev/null || echo "(none)"
echo "== pre-/post-install commands and plug-in calls ($temp_dir\\sample-steps.log)"
{ tr -d '\r' <"$temp_unix/sample-steps.log"; } 2>/dev/null || echo "(none)"
echo "== installed product"
ls "$WINEPREFIX/drive_c/Program Files/Sample Backup Agent/" 2>/dev/null || echo "(no files)"
wine_exe reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Sample' /reg:64 2>/dev/null | tr -d '\r' | grep REG_ || true
wineserver -k >/dev/null 2>&1 || true
