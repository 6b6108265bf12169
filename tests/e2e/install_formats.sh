#!/usr/bin/env bash
# The msiexec.exe command lines the launcher composes, exactly, as the recording installer
# beside setup.exe receives them: the eight formats, the quiet ALLUSERS part and the /lv log.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_catalogue
M='C:\media\install_formats'
TEMP_WIN=$(e2e_temp_win)
PRODUCTS='HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Products'

registered() {
  if [ "$1" = yes ]; then
    e2e_wine "$E2E_TIMEOUT" reg add "$PRODUCTS" /v AgentDesc /d 1.0 /f /reg:64 >/dev/null
  else
    e2e_wine "$E2E_TIMEOUT" reg delete "$PRODUCTS" /f /reg:64 >/dev/null 2>&1 || true
  fi
}

# case: multi-language, package key, registered, arguments, the expected command line
check() {
  local multi=$1 package=$2 reg=$3 args=$4 expected=$5 recorded
  printf '[Setup]\nProductName=Test Agent\nProductDescriptor=AgentDesc\nMultiLanguage=%s\n%s=agent.msi\n%s' \
    "$multi" "$package" "${6:-}" | e2e_medium_file setup.inf
  registered "$reg"
  rm -f "$MEDIUM_DIR/record.txt"
  # shellcheck disable=SC2086
  e2e_run_setup_answering $args
  e2e_expect_exit 0
  recorded=$(sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" | tr -d '\r')
  [ "$recorded" = "$expected" ] ||
    e2e_fail "setup.exe $args ($package, multi $multi, registered $reg):
  got      [$recorded]
  expected [$expected]"
}

H="msiexec.exe /i \"$M\\agent.msi\" SETUPDIR=\"$M\\\""
C="COPYPATH=\"$M\\1033\""
check 0 MSIPKG no "" "$H   LANGUAGEID=1033 $C"
check 0 MINORPKG yes "" "$H REINSTALL=ALL REINSTALLMODE=vomus   $C"
check 1 MSIPKG no "" "$H   TRANSFORMS=1033.mst LANGUAGEID=1033 $C"
check 1 MINORPKG yes "" "$H REINSTALL=ALL REINSTALLMODE=vomus   TRANSFORMS=1033.mst LANGUAGEID=1033 $C"
check 1 MSIPKG no "/q" "$H /q  TRANSFORMS=1033.mst LANGUAGEID=1033 $C ALLUSERS=\"AllUsers\""
check 1 MSIPKG no "MASTERSETUP=1 PRODNAME=AGENT" \
  "$H TRANSFORMS=1033.mst MASTERSETUP=1 PRODNAME=AGENT  LANGUAGEID=1033 $C ALLUSERS=\"AllUsers\""
check 1 MSIPKG no "MASTERSETUP=1 LANGUAGEID=1041" \
  "$H TRANSFORMS=1033.mst MASTERSETUP=1 LANGUAGEID=1041  $C ALLUSERS=\"AllUsers\""
check 1 MINORPKG no "MASTERSETUP=1" "$H MASTERSETUP=1  TRANSFORMS=1033.mst $C ALLUSERS=\"AllUsers\""
check 1 MINORPKG yes "MASTERSETUP=1" \
  "$H TRANSFORMS=1033.mst REINSTALL=ALL REINSTALLMODE=vomus MASTERSETUP=1  $C ALLUSERS=\"AllUsers\""
check 1 MSIPKG no "/q" \
  "$H /q CmdLine-arg TRANSFORMS=1033.mst LANGUAGEID=1033 $C ALLUSERS=\"AllUsers\" /lv \"$TEMP_WIN\\agent.log\"" \
  $'LogFile=agent.log\nCmdLine=CmdLine-arg\n'
registered no
