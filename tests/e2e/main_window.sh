#!/usr/bin/env bash
# The main window paints the medium's picture and the product title even though the
# launcher keeps it hidden: shown by another program while the installer runs, it is
# captured as a screenshot (an artefact a person can look at) and checked for the title's
# white text on the picture.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
SAMPLE="$(dirname "$SETUP_EXE")/sample-medium"
SHOWWINDOW_EXE="${SHOWWINDOW_EXE:-$E2E_TOOLS/showwindow.exe}"
ARTEFACTS="$(dirname "$SETUP_EXE")/tests/e2e/artefacts"
mkdir -p "$ARTEFACTS"
e2e_new_medium
e2e_add_recording_msiexec
cp "$SAMPLE/sample.bmp" "$MEDIUM_DIR/"
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=%PRODUCT%
MSIPKG=agent.msi
MultiLanguage=0
Bitmap=sample.bmp
INF
printf '[1033]\nPRODUCT=Sample Backup Agent\n9011=Install %%s\n' | e2e_medium_file setupres.ini

shot="$ARTEFACTS/main_window.png"
rm -f "$shot"
export SETUP_RECORD_SLEEP_MS=6000
(
  e2e_wine 20 "$SHOWWINDOW_EXE" SetupLauncherMainWindow 10000 && sleep 2 &&
    import -window root "$shot"
) &
shower=$!
e2e_run_setup /q
wait "$shower" || e2e_fail "the main window was not found"
e2e_expect_exit 0
[ -s "$shot" ] || e2e_fail "no screenshot"
# The title is white text at the window's top left, over a picture that has no white.
white=$(convert "$shot" -crop 500x120+0+0 -fill black +opaque white -format '%[fx:mean]' info:)
awk -v w="$white" 'BEGIN { exit !(w > 0.002) }' || e2e_fail "no white title text in $shot ($white)"
e2e_log "screenshot: $shot"
