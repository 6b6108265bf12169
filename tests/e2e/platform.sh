#!/usr/bin/env bash
# The platform check on Wine's own Windows (6.1, 64-bit) and processor (an x64 one, named
# "Intel64 ..." or "AMD64 ..."): a medium that lists VISTAAMD64 installs; one that lists
# other platforms only is refused with "Windows VISTA64", as status 26/3 in a quiet run
# and in a box captioned with the setup title in an interactive one.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine

reg_value() {
  e2e_wine "$E2E_TIMEOUT" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
processor=$(reg_value 'HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0' Identifier)
version=$(reg_value 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' CurrentVersion)
programs_x86=$(reg_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion' 'ProgramFilesDir (x86)')
e2e_log "Windows $version, processor \"$processor\", ProgramFilesDir (x86) \"$programs_x86\""
case "$processor" in
*AMD64* | *EM64T* | *Intel64*) ;;
*) e2e_skip "the processor \"$processor\" is not an x64 one; the expectations below need one" ;;
esac
case "$version" in
6.* | 10.*) ;;
*) e2e_skip "Wine reports Windows $version; the expectations below are for 6.0 and later" ;;
esac
[ -n "$programs_x86" ] || e2e_skip "Wine's prefix is not a 64-bit Windows"

e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9011=Install %s
9079=This medium cannot be installed on
AGENT=Test Agent
INI
e2e_medium_file setup.icf </dev/null

# Runs setup.exe ARGS on a medium that lists the first argument, with a status monitor;
# boxes are answered.
run_listing() {
  local listed=$1
  shift
  e2e_medium_file setup.inf <<INF
[Setup]
ProductName=%AGENT%
MSIPKG=agent.msi
MultiLanguage=0
SystemVersion=$listed
INF
  rm -f "$MEDIUM_DIR/record.txt"
  e2e_start_statusmon
  e2e_run_setup_answering "$@"
  e2e_stop_statusmon
  e2e_expect_exit 0
}
REFUSAL='code=26 level=3 text="This medium cannot be installed on Windows VISTA64"'

# Quiet runs on the processor as it is named now: VISTAAMD64 is admitted, lists without it
# are refused as status, without a box.
expect_x64_answers() {
  run_listing "Winnt VISTAAMD64" /q
  [ -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "VISTAAMD64 was not admitted"
  e2e_expect_no_status_line '^code=26 level=3'
  for listed in Winnt AMD64 VISTA WinXP64; do
    run_listing "$listed" /q
    [ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "SystemVersion=$listed was admitted"
    e2e_expect_status_line "^$REFUSAL"
    if grep -qx "Install Test Agent" <<<"$WINDOWS_SEEN"; then e2e_fail "a quiet run showed a box"; fi
  done
}
expect_x64_answers

# The other spelling of an x64 processor, set for the rest of this case (the key is made
# afresh when Wine starts again).
CPU_KEY='HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0'
case "$processor" in
AMD64*) other="Intel64 Family 6 Model 158 Stepping 10" ;;
*) other="AMD64 Family 23 Model 49 Stepping 0" ;;
esac
e2e_wine "$E2E_TIMEOUT" reg add "$CPU_KEY" /v Identifier /t REG_SZ /d "$other" /reg:64 /f >/dev/null ||
  e2e_fail "cannot set the processor identifier"
[ "$(reg_value "$CPU_KEY" Identifier)" = "$other" ] || e2e_fail "the processor identifier did not change"
e2e_log "processor now \"$other\""
expect_x64_answers

# Interactive: the refusal in a box captioned with the setup title, answered.
run_listing Winnt /r
[ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "SystemVersion=Winnt was admitted"
e2e_expect_status_line "^$REFUSAL"
grep -qx "Install Test Agent" <<<"$WINDOWS_SEEN" ||
  e2e_fail "no box captioned \"Install Test Agent\"; windows seen: ${WINDOWS_SEEN:-none}"
