#!/usr/bin/env bash
# After the install the launcher grants the built-in backup operators (S-1-5-32-551) read
# access on the product's root key: the entry is in the key's DACL afterwards, once, and
# the setup log tells each step. Without the key there is nothing to grant.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
KEYACL_EXE="${KEYACL_EXE:-$E2E_TOOLS/keyacl.exe}"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_catalogue
e2e_require_file keyacl.exe "$KEYACL_EXE"
M='C:\media\registry_grant'
export SETUP_TEST_NO_RESTART=1 SETUP_TEST_RESTART_RECORD="$M\\restart.txt"
ROOT='SOFTWARE\Quorvane\Norvale Tessmark'
BACKUP_OPERATORS=S-1-5-32-551
KEY_READ_ENTRY='allow 0x00020019'
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
MultiLanguage=0
MSIPKG=agent.msi
INF
TEMP_WIN=$(e2e_temp_win)
TEMP_DIR=$(e2e_wine "$E2E_TIMEOUT" winepath -u "$TEMP_WIN" | tr -d '\r\n')
SETUP_LOG="$TEMP_DIR/_SETUP.LOG"

# A new, empty root key (64-bit view, as the 64-bit setup.exe sees it); "none" removes it.
root_key() {
  e2e_wine "$E2E_TIMEOUT" reg delete "HKLM\\$ROOT" /f /reg:64 >/dev/null 2>&1 || true
  [ "$1" = none ] || e2e_wine "$E2E_TIMEOUT" reg add "HKLM\\$ROOT" /f /reg:64 >/dev/null ||
    e2e_fail "reg add HKLM\\$ROOT failed"
}

backup_operator_entries() {
  e2e_wine "$E2E_TIMEOUT" "$KEYACL_EXE" "$ROOT" "$BACKUP_OPERATORS" | tr -d '\r' ||
    e2e_fail "keyacl cannot read HKLM\\$ROOT"
}

# The grant's lines of the setup log, without their time stamps.
grant_lines() {
  tr -d '\r' <"$SETUP_LOG" | sed 's/^[0-9-]* [0-9:]*  //' | grep 'AddPermissionToNTBRootReg' ||
    true
}

run() {
  rm -f "$SETUP_LOG" "$MEDIUM_DIR/record.txt"
  e2e_run_setup /q
  e2e_expect_exit 0
  grep -q '^cmdline=' "$MEDIUM_DIR/record.txt" || e2e_fail "the installer did not run"
}

expect_lines() {
  [ "$(grant_lines)" = "$1" ] || e2e_fail "setup log:
  got      [$(grant_lines)]
  expected [$1]"
}

OPENED='AddPermissionToNTBRootReg - 32bit Application Access 32bit registry. KEY_ALL_ACCESS'
SUCCESS='Success call AddPermissionToNTBRootReg() function.'

root_key empty
[ -z "$(backup_operator_entries)" ] || e2e_fail "a new key grants already: $(backup_operator_entries)"
run
[ "$(backup_operator_entries)" = "$KEY_READ_ENTRY" ] ||
  e2e_fail "backup operators' entries after the install: [$(backup_operator_entries)]"
expect_lines "$OPENED
AddPermissionToNTBRootReg - Success to add the Security Permission On the Registry.
$SUCCESS"

# A second install finds the grant and adds no second entry.
run
[ "$(backup_operator_entries)" = "$KEY_READ_ENTRY" ] ||
  e2e_fail "backup operators' entries after a second install: [$(backup_operator_entries)]"
expect_lines "$OPENED
AddPermissionToNTBRootReg - Security Permission already added On the Registry.
$SUCCESS"

root_key none
run
expect_lines "AddPermissionToNTBRootReg - Can not open the registry for add access permission.
Failed call AddPermissionToNTBRootReg() function."
e2e_log "ok"
