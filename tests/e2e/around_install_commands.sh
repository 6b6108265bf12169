#!/usr/bin/env bash
# Pre-install and post-install commands run in order from their own folders with their
# arguments; a missing program is passed over; the post-install ones only when the
# product is registered afterwards. Each command is a copy of the recording installer,
# all of them writing one record, so the record also shows the order around the install.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_catalogue
M='C:\media\around_install_commands'
PRODUCTS='HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Products'
mkdir -p "$MEDIUM_DIR/sub"
cp "$MSIEXEC_EXE" "$MEDIUM_DIR/pre.exe"
cp "$MSIEXEC_EXE" "$MEDIUM_DIR/sub/pre2.exe"
cp "$MSIEXEC_EXE" "$MEDIUM_DIR/post.exe"
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
ProductDescriptor=AgentDesc
MultiLanguage=0
MSIPKG=agent.msi
[PreInstall]
Command1=pre.exe /first arg
Message1=Preparing the machine
Command2=missing.exe /x
Command3=sub\pre2.exe /second
[PostInstall]
Command1=post.exe /after
INF
export SETUP_RECORD="$M\\all.txt"

# The programs started, in order, as "cmdline | cwd".
started() {
  tr -d '\r' <"$MEDIUM_DIR/all.txt" |
    awk -F= '/^cmdline=/{c=substr($0,9)} /^cwd=/{print c " | " substr($0,5)}'
}

run() {
  rm -f "$MEDIUM_DIR/all.txt"
  e2e_run_setup_answering /q
  e2e_expect_exit 0
}

e2e_wine "$E2E_TIMEOUT" reg delete "$PRODUCTS" /f /reg:64 >/dev/null 2>&1 || true
run
got=$(started)
expected="$M\\pre.exe /first arg | $M
$M\\sub\\pre2.exe /second | $M\\sub"
grep -qF "$M\\pre.exe /first arg | $M" <<<"$got" || e2e_fail "pre-install commands: $got"
[ "$(head -2 <<<"$got")" = "$expected" ] || e2e_fail "pre-install commands: $got"
grep -q 'post\.exe' <<<"$got" && e2e_fail "post-install command ran for an unregistered product"
grep -q 'msiexec' <<<"$got" || e2e_fail "the installer did not run after the commands: $got"

e2e_wine "$E2E_TIMEOUT" reg add "$PRODUCTS" /v AgentDesc /d 1.0 /f /reg:64 >/dev/null
run
got=$(started)
[ "$(tail -1 <<<"$got")" = "$M\\post.exe /after | $M" ] || e2e_fail "post-install command: $got"
e2e_wine "$E2E_TIMEOUT" reg delete "$PRODUCTS" /f /reg:64 >/dev/null 2>&1 || true
e2e_log "ok"
