#!/usr/bin/env bash
# DLL planting: copies of system DLLs that setup.exe loads by name after it starts, planted
# beside it and made native-first for Wine, are not loaded in quiet runs that reach the
# installer (one through the shared components). The control: a program of ours without
# the hardening loads the same copies, so the case could fail. The DLLs of setup.exe's
# import table are loaded by the system before the launcher runs and are out of reach of
# the hardening; they are not planted.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
PLANTED_DLL="${PLANTED_DLL:-$E2E_TOOLS/planted.dll}"
PLANTCONTROL_EXE="${PLANTCONTROL_EXE:-$E2E_TOOLS/plantcontrol.exe}"
e2e_start_wine
e2e_require_file planted.dll "$PLANTED_DLL"
e2e_require_file plantcontrol.exe "$PLANTCONTROL_EXE"

# uxtheme.dll: Wine's user32 loads it by name after the launcher started (WINEDEBUG=+loaddll);
# shell32.dll and ws2_32.dll: the launcher loads them itself on first use; dwmapi.dll: a
# system DLL a window may pull in. None is in setup.exe's import table.
PLANTED_NAMES=(uxtheme.dll shell32.dll ws2_32.dll dwmapi.dll)

# Wine takes a copy beside the program over its own only for DLLs overridden native-first.
plant_overrides() {
  local name overrides=""
  for name in "${PLANTED_NAMES[@]}"; do overrides+="${overrides:+;}${name%.dll}=n,b"; done
  echo "$overrides"
}

plant_into() {
  local name
  for name in "${PLANTED_NAMES[@]}"; do
    cp "$PLANTED_DLL" "$1/$name"
    rm -f "$1/$name.loaded"
  done
}

markers_in() { find "$1" -maxdepth 1 -name '*.loaded' -printf '%f ' 2>/dev/null || true; }

# The control: plantcontrol.exe beside the planted copies loads each of them.
case_control_loads_planted() {
  e2e_log "--- control: an unhardened program loads the planted copies"
  local dir name output
  dir="$(e2e_drive_c)/media/plantcontrol"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$PLANTCONTROL_EXE" "$dir/plantcontrol.exe"
  plant_into "$dir"
  for name in "${PLANTED_NAMES[@]}"; do
    output=$(cd "$dir" && WINEDLLOVERRIDES="$(plant_overrides)" \
      e2e_wine "$E2E_TIMEOUT" 'C:\media\plantcontrol\plantcontrol.exe' "$name" | tr -d '\r') ||
      e2e_fail "plantcontrol $name: $output"
    [ -f "$dir/$name.loaded" ] ||
      e2e_fail "the control did not load the planted $name ($output); the case cannot fail"
  done
  e2e_log "control loaded: $(markers_in "$dir")"
}

# A quiet run to the installer; $1: setup.icf ("[SCC]" asks for the shared components,
# whose host-name check loads ws2_32.dll).
case_quiet_install() {
  local icf_head=${1%%$'\n'*}
  e2e_log "--- quiet run to the installer with planted DLLs, setup.icf: ${icf_head:-empty}"
  e2e_new_medium
  e2e_add_recording_msiexec
  e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
MSIPKG=agent.msi
INF
  e2e_medium_catalogue
  printf '%s' "$1" | e2e_medium_file setup.icf
  plant_into "$MEDIUM_DIR"
  WINEDLLOVERRIDES="$(plant_overrides)" e2e_run_setup /q
  e2e_expect_exit 0
  grep -q '^cmdline=msiexec' "$MEDIUM_DIR/record.txt" 2>/dev/null ||
    e2e_fail "the installer did not run"
  [ -z "$(markers_in "$MEDIUM_DIR")" ] ||
    e2e_fail "setup.exe loaded planted copies: $(markers_in "$MEDIUM_DIR")"
}

case_control_loads_planted
case_quiet_install ""
case_quiet_install $'[SCC]\nLocalKDB=NO\nKDBHost=DBSRV\n'
