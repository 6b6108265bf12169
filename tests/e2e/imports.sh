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

# check_imports LABEL FILE FORMAT: FILE is a FORMAT program importing Windows' DLLs only.
check_imports() {
  local label=$1 file=$2 format=$3 objdump dlls dll foreign=()
  objdump=$(objdump_tool)
  "$objdump" -f "$file" | grep -q "file format $format\$" ||
    e2e_fail "$label: $file is not $format: $("$objdump" -f "$file" | grep 'file format')"
  dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$dlls" ] || e2e_fail "$label: no imports listed for $file"
  for dll in $dlls; do
    is_windows_dll "$dll" || foreign+=("$dll")
  done
  [ ${#foreign[@]} -eq 0 ] || e2e_fail "$label imports DLLs Windows does not ship: ${foreign[*]}"
  e2e_log "$label imports only: ${dlls//$'\n'/ }"
}

e2e_require_file setup.exe "$SETUP_EXE"
e2e_require_file statusmon.exe "$STATUSMON_EXE"
check_imports "x64 setup.exe" "$SETUP_EXE" pei-x86-64
check_imports "x64 statusmon.exe" "$STATUSMON_EXE" pei-x86-64
if [ -f "$SETUP_EXE_I686" ]; then
  check_imports "i686 setup.exe" "$SETUP_EXE_I686" pei-i386
else
  e2e_log "i686 half skipped: no $SETUP_EXE_I686 (build the win32 preset to check it)"
fi
