#!/usr/bin/env bash
# A block rule over a REG_BINARY version record in the registry: an interactive run shows
# the medium's message in a box captioned with the product name and installs nothing; a
# master setup gets the message as status 26/3 instead, without a box; a version that the
# rule does not name lets the install go on.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=%AGENT%
MSIPKG=agent.msi
MultiLanguage=0
[Upgrade]
BlockReg2=SOFTWARE\E2E Vendor\Installed Versions
BlockSubtype2=5
BlockVer2=11.0
BlockMsgID2=BLOCKED
INF
e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9011=Install %s
AGENT=Test Agent
BLOCKED=Version %s of %s is installed; remove %s first.
INI
e2e_medium_file setup.icf </dev/null

# setup.exe is a 64-bit program here, so the record goes to the 64-bit view.
KEY='HKLM\SOFTWARE\E2E Vendor\Installed Versions'
set_record() {
  e2e_wine "$E2E_TIMEOUT" reg add "$KEY" /v Agent /t REG_BINARY /d "$1" /reg:64 /f >/dev/null ||
    e2e_fail "reg add $KEY failed"
}
e2e_wine "$E2E_TIMEOUT" reg delete "$KEY" /f /reg:64 >/dev/null 2>&1 || true
# 8 bytes that are not examined, minor 0, major 11, build 300 (2C 01), subtype 5.
set_record 0000000000000000000B2C0105
BOX_TEXT="Version 11.0 of Test Agent is installed; remove 11.0 first."

expect_not_installed() {
  [ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "the installer ran: $(cat "$MEDIUM_DIR/record.txt")"
}

# Interactive: the box, answered.
e2e_run_setup_answering
e2e_expect_exit 0
expect_not_installed
grep -qx "Test Agent" <<<"$WINDOWS_SEEN" ||
  e2e_fail "no box captioned \"Test Agent\"; windows seen: ${WINDOWS_SEEN:-none}"

# Master setup: the same text as a status message with the product code, and no box.
e2e_start_statusmon
e2e_run_setup_answering MASTERSETUP=1 "ICFPATH=$MEDIUM_WIN\\setup.icf" PRODNAME=ZODIDEZ
e2e_stop_statusmon
e2e_expect_exit 0
expect_not_installed
e2e_expect_status_line "^code=26 level=3 product=ZODIDEZ text=\"$BOX_TEXT\""
if grep -qx "Test Agent" <<<"$WINDOWS_SEEN"; then e2e_fail "a master setup showed the box"; fi

# Version 10.0 of the same subtype is not blocked: the installer runs.
set_record 0000000000000000000A2C0105
e2e_run_setup /q
e2e_expect_exit 0
[ -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "version 10.0 was blocked too"

e2e_wine "$E2E_TIMEOUT" reg delete "$KEY" /f /reg:64 >/dev/null 2>&1 || true
