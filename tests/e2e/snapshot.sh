# shellcheck shell=bash
# Sourced by fault cases after e2e-lib.sh: snapshots of the medium folder, the TEMP folder
# and the registry keys the launcher touches, and the check that nothing was lost between
# two of them. What the launcher is meant to remove or change is allowed: its TEMP copy of
# setup.icf, HOST.INI, a stale setupexe.log, the product's "reboot" value, the setup log
# and the installer log it writes to, and the recording installer's own files.

SNAPSHOT_KEYS=('HKLM\SOFTWARE\Quorvane'
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce')
SNAPSHOT_ALLOWED='(/setup\.icf|/HOST\.INI|/setupexe\.log|/_SETUP\.LOG|-install\.log|/record\.txt|/exitcode\.txt)	|^reg	.*[[:space:]]reboot[[:space:]]'

snapshot_temp_dir() {
  local temp
  temp=$(e2e_temp_win)
  # C:\users\...\Temp is the prefix's drive_c/users/.../Temp.
  echo "$(e2e_drive_c)/$(sed 's/^[Cc]:\\//; s:\\:/:g; s:/*$::' <<<"$temp")"
}

# Writes "<path>\t<md5>" for each file and "reg\t<line>" for each registry line to FILE.
snapshot_take() {
  local out=$1 dir key
  : >"$out"
  for dir in "$MEDIUM_DIR" "$TEMP_DIR"; do
    find "$dir" -maxdepth 1 -type f -print0 | sort -z | xargs -0r md5sum |
      awk '{ h = $1; $1 = ""; sub(/^ /, ""); print $0 "\t" h }' >>"$out"
  done
  for key in "${SNAPSHOT_KEYS[@]}"; do
    e2e_wine "$E2E_TIMEOUT" reg query "$key" /s 2>/dev/null | tr -d '\r' | grep -v '^$' |
      sed 's/^/reg\t/' >>"$out" || true
  done
}

# Fails on every line of BEFORE that AFTER no longer holds, unless it is allowed to go.
snapshot_expect_nothing_lost() {
  local lost
  lost=$(comm -23 <(sort "$1") <(sort "$2") | grep -Ev "$SNAPSHOT_ALLOWED" || true)
  [ -z "$lost" ] || e2e_fail "removed or changed:"$'\n'"$lost"
}
