#!/usr/bin/env bash
# An install configuration file holding "[SCC]": the database installer, the identity
# installer and netutil (recording stand-ins) run with the expected command lines while
# heartbeats reach the status slot; a wrong II_SYSTEM ends the setup with exit code 1
# before the Windows Installer runs; no password file stays on disk.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
COMPONENTSETUP_EXE="${COMPONENTSETUP_EXE:-$E2E_TOOLS/componentsetup.exe}"
e2e_start_wine
e2e_require_file componentsetup.exe "$COMPONENTSETUP_EXE"

REG_ENV='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
INGRES_WIN='C:\Program Files\QV\Ingres [EI]'
INGRES_DIR="$(e2e_drive_c)/Program Files/QV/Ingres [EI]"

# A medium whose components record into components.txt; $1: the [SCC] lines.
new_components_medium() {
  e2e_new_medium
  e2e_add_recording_msiexec
  cp "$COMPONENTSETUP_EXE" "$MEDIUM_DIR/kdbsetup.exe"
  cp "$COMPONENTSETUP_EXE" "$MEDIUM_DIR/eksmsetup.exe"
  mkdir -p "$INGRES_DIR/ingres/bin"
  cp "$COMPONENTSETUP_EXE" "$INGRES_DIR/ingres/bin/netutil.exe"
  export E2E_COMPONENTS_RECORD="$MEDIUM_WIN\\components.txt"
  # The identity component's template lies in eKSM beside the launcher's folder.
  mkdir -p "$(e2e_drive_c)/media/eKSM"
  printf 'Pass=<EKSMADMINPASS>\r\nDir=<EKSMINSTALLDIR>\r\n' >"$(e2e_drive_c)/media/eKSM/eksmresp.iss"
  e2e_medium_file setup.inf <<INF
[Setup]
ProductName=Test Agent
MSIPKG=agent.msi
LogFile=$MEDIUM_WIN\\agent.log
[PreInstallSCC]
Command_KDB=$MEDIUM_WIN\\kdbsetup.exe /dir=%s /icf=%s /rsp=%s
Command_EKSM=$MEDIUM_WIN\\eksmsetup.exe /s /f1
INF
  e2e_medium_file setupres.ini <<<$'[1033]\n9=Setup cannot continue'
  printf '[SCC]\n%s\n' "$1" | e2e_medium_file setup.icf
  e2e_wine "$E2E_TIMEOUT" reg delete "$REG_ENV" /v II_SYSTEM /f /reg:64 >/dev/null 2>&1 || true
  e2e_wine "$E2E_TIMEOUT" reg delete 'HKLM\SOFTWARE\Quorvane\Embedded KSM' /f /reg:64 \
    >/dev/null 2>&1 || true
}

record() { tr -d '\r' <"$MEDIUM_DIR/components.txt" 2>/dev/null || true; }
expect_record() { grep -qF -- "$1" <<<"$(record)" || e2e_fail "no record line holds: $1"$'\n'"$(record)"; }
msiexec_ran() { [ -f "$MEDIUM_DIR/record.txt" ] && grep -q '^cmdline=' "$MEDIUM_DIR/record.txt"; }
expect_no_password_files() {
  [ -z "$(find "$MEDIUM_DIR" "$INGRES_DIR" -iname 'eksmresp.*' -o -iname addvnode1.vn)" ] ||
    e2e_fail "password files left: $(find "$MEDIUM_DIR" "$INGRES_DIR" -iname 'eksmresp.*' -o -iname addvnode1.vn)"
  grep -q '^\[SCC\]' "$MEDIUM_DIR/setup.icf" || e2e_fail "setup.icf was changed"
}

# --- Local database and identity component, heartbeats while they install ---------------
new_components_medium $'LocalKDB=YES\nLocaleKSM=YES\neKSMPass=e2e-secret'
export E2E_KDB_II_SYSTEM="$INGRES_WIN" E2E_KDB_SLEEP_MS=12000
e2e_start_statusmon
e2e_run_setup /q
sleep 12  # a heartbeat still running would beat again meanwhile
e2e_stop_statusmon
e2e_expect_exit 0
expect_record "program=kdbsetup.exe"
expect_record "/dir=$INGRES_WIN /icf=$MEDIUM_WIN\\setup.icf /rsp=scc.rsp"
expect_record "program=eksmsetup.exe"
expect_record "/s /f1\"c:\\media\\$E2E_CASE\\eksmresp.iss\""
expect_record "| Pass=e2e-secret"
expect_record "| Dir=C:\\Program Files\\QV\\SharedComponents\\Embedded KSM"
msiexec_ran || e2e_fail "the Windows Installer did not run"
expect_no_password_files
beats=$(grep -c '^code=38 level=1 source=TALVERON' <<<"$STATUS_LINES" || true)
[ "$beats" -ge 2 ] || e2e_fail "expected heartbeats during the 12 s install, got $beats"
e2e_expect_status_line '^code=38 level=1 source=TALVERON position=5 level2=5 text="" from='
e2e_expect_status_line '^code=38 level=1 source=TALVERON position=6 level2=5 '
# Nothing beats once the components are done: the installer's start is the last word.
after=$(sed -n '/^code=5 level=1/,$p' <<<"$STATUS_LINES" | grep -c '^code=38' || true)
[ "$after" = 0 ] || e2e_fail "$after heartbeats after the components were installed"
grep -q '^code=5 level=1' <<<"$STATUS_LINES" || e2e_fail "the installer's start was not reported"

# --- A wrong II_SYSTEM ends the setup before the Windows Installer runs ------------------
new_components_medium $'LocalKDB=YES'
export E2E_KDB_II_SYSTEM='C:\elsewhere' E2E_KDB_SLEEP_MS=0
e2e_run_setup /q
e2e_expect_exit 1
expect_record "program=kdbsetup.exe"
! msiexec_ran || e2e_fail "the Windows Installer ran after a failed location check"
grep -q 'KDB Install location does not match II_SYSTEM' "$MEDIUM_DIR/agent.log" ||
  e2e_fail "no mismatch line in the installer log: $(cat "$MEDIUM_DIR/agent.log")"

# --- Remote database: Ingres Net, then the virtual node through cmd.exe and netutil ------
new_components_medium $'LocalKDB=NO\nKDBHost=DBSRV\nKDBUser=ingres\nKDBPassword=db-secret\nKDBID=II'
export E2E_KDB_II_SYSTEM="$INGRES_WIN" E2E_KDB_SLEEP_MS=0
e2e_run_setup /q
e2e_expect_exit 0
expect_record "/rsp=ingresnet.rsp"
expect_record "program=netutil.exe"
expect_record "cwd=$INGRES_WIN"
expect_record "-file addvnode1.vn"
expect_record "| create global connection DBSRVvn1 DBSRV wintcp II"
expect_record "| create global login DBSRVvn1 ingres db-secret"
msiexec_ran || e2e_fail "the Windows Installer did not run"
expect_no_password_files
e2e_log "ok"
