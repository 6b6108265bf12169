#!/usr/bin/env bash
# setupsim.exe, the Windows build of setupsim (preset win64-tools), prints what the native
# setupsim prints and ends with the same exit code on the same medium folder, each given the
# folder in its own path form: the plans of the sample media in several runs, and the
# findings of --check.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
SETUPSIM="${SETUPSIM:-$E2E_ROOT/build/native/tools/setupsim/setupsim}"
SETUPSIM_EXE="${SETUPSIM_EXE:-$E2E_ROOT/build/win64-tools/tools/setupsim/setupsim.exe}"
[ -f "$SETUPSIM_EXE" ] || e2e_skip "setupsim.exe not built (preset win64-tools): $SETUPSIM_EXE"
[ -x "$SETUPSIM" ] || e2e_skip "setupsim not built (native build): $SETUPSIM"
e2e_start_wine

# Both runs of OPTIONS on FOLDER end with EXIT and print the same, the folder's name aside
# and without the "\r" of the Windows console.
same_as_native() {
  local want=$1 folder=$2 folder_win native windows native_rc=0 windows_rc=0 out
  shift 2
  folder_win=$(e2e_wine "$E2E_TIMEOUT" winepath -w "$folder" | tr -d '\r')
  out="$E2E_WORK/native"
  ASAN_OPTIONS=detect_leaks=0 "$SETUPSIM" "$@" "$folder" >"$out.1" 2>"$out.2" || native_rc=$?
  native=$(cat "$out.1" - "$out.2" <<<"== stderr")
  out="$E2E_WORK/windows"
  e2e_wine "$E2E_TIMEOUT" "$SETUPSIM_EXE" "$@" "$folder_win" >"$out.1" 2>"$out.2" ||
    windows_rc=$?
  windows=$(cat "$out.1" - "$out.2" <<<"== stderr" | tr -d '\r')
  [ "$native_rc" = "$want" ] ||
    e2e_fail "setupsim $* $folder: exit $native_rc, expected $want:"$'\n'"$native"
  [ "$windows_rc" = "$native_rc" ] ||
    e2e_fail "setupsim.exe $* $folder_win: exit $windows_rc, native $native_rc:"$'\n'"$windows"
  native=${native//"$folder"/MEDIUM}
  windows=${windows//"$folder_win"/MEDIUM}
  [ "$windows" = "$native" ] || e2e_fail "setupsim.exe $* $folder_win differs from setupsim:
$(diff <(echo "$native") <(echo "$windows"))"
  e2e_log "same: $* $folder (exit $native_rc)"
}

SAMPLES="$(dirname "$SETUP_EXE")"
for medium in sample-medium sap-medium; do
  e2e_require_file "$medium" "$SAMPLES/$medium/setup.inf"
  same_as_native 0 "$SAMPLES/$medium" --args "/q"
  same_as_native 0 "$SAMPLES/$medium" --args "/q LOCALIZED=1" --lang 1036
  same_as_native 0 "$SAMPLES/$medium" --args "/q /r"
  same_as_native 0 "$SAMPLES/$medium" --check
done
same_as_native 1 "$E2E_ROOT/tests/kit/media/no_transform" --check
same_as_native 2 "$E2E_WORK/no-such-medium" --args "/q"
e2e_log "setupsim.exe prints and exits as setupsim does"
