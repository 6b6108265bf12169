#!/usr/bin/env bash
# The programs that go onto a medium import only DLLs that every Windows ships: the
# compiler's run-time libraries are linked in, never needed beside the program.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"

WINDOWS_DLLS=(
  KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 MPR WS2_32 WSOCK32 COMCTL32 COMDLG32 OLE32
  OLEAUT32 VERSION SHLWAPI RPCRT4 USERENV msvcrt
)

objdump_tool() {
  local tool
  for tool in "${OBJDUMP:-}" x86_64-w64-mingw32-objdump objdump; do
    if [ -n "$tool" ] && command -v "$tool" >/dev/null; then
      echo "$tool"
      return
    fi
  done
  e2e_fail "no objdump found"
}

is_windows_dll() {
  local dll=${1%.[dD][lL][lL]} known
  for known in "${WINDOWS_DLLS[@]}"; do
    [ "${dll^^}" = "${known^^}" ] && return 0
  done
  return 1
}

# check_imports LABEL FILE [FORMAT]: FILE is a Windows program (of FORMAT) that imports
# Windows' DLLs only.
check_imports() {
  local label=$1 file=$2 format=${3:-pei-(i386|x86-64)} objdump found dlls dll foreign=()
  objdump=$(objdump_tool)
  found=$("$objdump" -f "$file" | sed -n 's/.*file format //p')
  grep -qxE "$format" <<<"$found" || e2e_fail "$label: $file is $found, not $format"
  dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || e2e_fail "$label: no imports listed for $file"
  for dll in $dlls; do
    is_windows_dll "$dll" || foreign+=("$dll")
  done
  [ ${#foreign[@]} -eq 0 ] || e2e_fail "$label ($found) imports DLLs Windows does not ship: ${foreign[*]}"
  e2e_log "$label ($found) imports only: ${dlls//$'\n'/ }"
}

e2e_require_file setup.exe "$SETUP_EXE"
e2e_require_file statusmon.exe "$STATUSMON_EXE"
check_imports setup.exe "$SETUP_EXE"
check_imports statusmon.exe "$STATUSMON_EXE"
if [ ! -f "$SETUP_EXE_I686" ]; then
  e2e_log "i686 half skipped: no $SETUP_EXE_I686 (build the win32 preset to check it)"
elif [ "$SETUP_EXE_I686" -ef "$SETUP_EXE" ] && [ "$(e2e_pe_machine "$SETUP_EXE")" = i386 ]; then
  e2e_log "this is the i686 build: its setup.exe was checked above"
else
  check_imports "i686 setup.exe" "$SETUP_EXE_I686" pei-i386
fi
