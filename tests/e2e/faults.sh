#!/usr/bin/env bash
# Faults the launcher meets on real sites, each run with the real setup.exe: an installer
# that is no program, crashes or fails; a plug-in that is missing or no DLL; a TEMP folder
# that does not exist; a status host nobody listens to; a catalogue of garbage or UTF-16; no
# setup.inf; the launcher killed in the middle of the install. For each: the exit code,
# the setup log, the status messages and what is on disk. Around every case the medium,
# the TEMP folder and the product's registry keys are compared (tests/e2e/snapshot.sh):
# nothing may be removed or changed that the launcher is not meant to touch.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/snapshot.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
TEMP_DIR=$(snapshot_temp_dir)

write_medium() {
  e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
MSIPKG=agent.msi
MultiLanguage=0
LogFile=faults-install.log
INF
  e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9013=Cannot load %s.
10=Installation failure. Please check setup log file %s for detailed information.
INI
  e2e_medium_file setup.icf </dev/null
  cp "$MSIEXEC_EXE" "$MEDIUM_DIR/msiexec.exe"
  rm -f "$MEDIUM_DIR/exitcode.txt" "$MEDIUM_DIR/record.txt"
}

installer_runs() { grep -c '^cmdline=' "$MEDIUM_DIR/record.txt" 2>/dev/null || echo 0; }

setup_log() { tr -d '\r' <"$TEMP_DIR/_SETUP.LOG" 2>/dev/null || true; }

# Runs setup.exe quietly with a status host listening; checks nothing was lost.
run_case() {
  local name=$1
  shift
  e2e_log "--- $name"
  snapshot_take "$E2E_WORK/before"
  : >"$TEMP_DIR/_SETUP.LOG"
  e2e_start_statusmon
  e2e_run_setup_answering "$@"
  e2e_stop_statusmon
  snapshot_take "$E2E_WORK/after"
  snapshot_expect_nothing_lost "$E2E_WORK/before" "$E2E_WORK/after"
  e2e_log "setup log: $(setup_log | cut -c22- | tr '\n' '|')"
}

expect_installer_runs() {
  [ "$(installer_runs)" = "$1" ] || e2e_fail "installer ran $(installer_runs) times, expected $1"
}

case_installer_exit_codes() {
  local code status
  for code in 1603:26 1618:26 3010:30 3221225477:26; do
    status=${code#*:}
    code=${code%%:*}
    write_medium
    echo "$code" >"$MEDIUM_DIR/exitcode.txt"
    run_case "installer exits with $code" /q /r
    e2e_expect_exit "$code"
    expect_installer_runs 1
    e2e_expect_status_line "^code=$status level="
    grep -q '^Parameter: /q /r' <(tr -d '\r' <"$TEMP_DIR/faults-install.log") ||
      e2e_fail "no Parameter line in the installer log"
  done
}

case_installer_no_program() {
  write_medium
  echo "not a program" >"$MEDIUM_DIR/msiexec.exe"
  run_case "msiexec.exe is no program" /q /r
  e2e_expect_exit 0
  e2e_expect_status_line '^code=26 level=3 from='
}

case_plugin_unloadable() {
  local plugin
  for plugin in missing.dll notadll.dll; do
    write_medium
    printf 'MZ garbage, no DLL\r\n' >"$MEDIUM_DIR/notadll.dll"
    printf '[Upgrade]\r\nGUIDLL=%s\r\n' "$plugin" >>"$MEDIUM_DIR/setup.inf"
    run_case "GUIDLL names $plugin" /q /r
    e2e_expect_exit 0
    expect_installer_runs 1
    e2e_expect_status_line '^code=4 level=2'
  done
}

# TEMP and TMP name a folder that does not exist: the setup log cannot be written, the
# install still runs.
case_temp_missing() {
  write_medium
  e2e_log "--- TEMP folder missing"
  snapshot_take "$E2E_WORK/before"
  local runexit
  runexit="Z:${RUNEXIT_EXE//\//\\}"
  RUN_OUTPUT=$(cd "$MEDIUM_DIR" && e2e_wine $((E2E_TIMEOUT + 10)) cmd /c \
    "set TEMP=C:\\no-such-temp&& set TMP=C:\\no-such-temp&& $runexit --timeout $((E2E_TIMEOUT * 1000)) $MEDIUM_WIN\\setup.exe /q" |
    tr -d '\r') || true
  snapshot_take "$E2E_WORK/after"
  snapshot_expect_nothing_lost "$E2E_WORK/before" "$E2E_WORK/after"
  grep -qx 'exit=0' <<<"$RUN_OUTPUT" || e2e_fail "setup.exe with a missing TEMP: $RUN_OUTPUT"
  expect_installer_runs 1
  [ ! -e "$(e2e_drive_c)/no-such-temp" ] || e2e_fail "the missing TEMP folder was made"
}

# Status messages to a host nobody listens to, or to no host at all, never hold the setup.
case_status_host_absent() {
  local args
  for args in "/q /rNOSUCHHOST" "/q /r"; do
    write_medium
    e2e_log "--- status host: $args"
    snapshot_take "$E2E_WORK/before"
    # shellcheck disable=SC2086
    e2e_run_setup $args
    snapshot_take "$E2E_WORK/after"
    snapshot_expect_nothing_lost "$E2E_WORK/before" "$E2E_WORK/after"
    e2e_expect_exit 0
    expect_installer_runs 1
    [ "$SETUP_SECONDS" -le 10 ] || e2e_fail "setup.exe $args took ${SETUP_SECONDS}s"
  done
}

case_catalogue_unreadable() {
  write_medium
  head -c 4096 /dev/urandom >"$MEDIUM_DIR/setupres.ini"
  run_case "setupres.ini of random bytes" /q /r
  e2e_expect_exit 0
  expect_installer_runs 1

  write_medium
  printf '[1033]\r\n9=Setup cannot continue\r\n' | iconv -t UTF-16 >"$MEDIUM_DIR/setupres.ini"
  echo 1603 >"$MEDIUM_DIR/exitcode.txt"
  run_case "setupres.ini in UTF-16" /q /r
  e2e_expect_exit 1603
  e2e_expect_status_line '^code=26 level=3'
}

case_no_setup_inf() {
  write_medium
  rm -f "$MEDIUM_DIR/setup.inf"
  run_case "no setup.inf" /q /r
  e2e_expect_exit 0
  expect_installer_runs 0
  [ -z "$WINDOWS_SEEN" ] || e2e_fail "a quiet run without setup.inf showed: $WINDOWS_SEEN"
}

first_installer_started() { [ "$(installer_runs)" -ge 1 ]; }

# The Linux processes of the Windows program PATTERN (its command line starts with the
# program) running in this case's prefix.
prefix_pids() {
  local pid
  for pid in $(pgrep -f "$1" || true); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      echo "$pid"
  done
  return 0
}

setup_gone() { [ -z "$(prefix_pids '^[^ ]*setup\.exe')" ]; }
installer_gone() { [ -z "$(prefix_pids '^[^ ]*msiexec\.exe')" ]; }

# The launcher, run with its window (so that it works on a TEMP copy of setup.icf), is
# killed while its installer runs; started again, it takes the copy the killed run left,
# runs the installer again and ends normally.
case_killed_and_restarted() {
  write_medium
  printf '[Install]\r\nLanguageID=1033\r\n' >"$MEDIUM_DIR/setup.icf"
  rm -f "$TEMP_DIR/setup.icf"
  e2e_log "--- launcher killed during the install"
  snapshot_take "$E2E_WORK/before"
  (cd "$MEDIUM_DIR" && SETUP_RECORD_SLEEP_MS=15000 e2e_wine 60 "$RUNEXIT_EXE" \
    --timeout 60000 "$MEDIUM_WIN\\setup.exe" >"$E2E_WORK/killed.txt") &
  local first=$! pids
  e2e_wait_for "the first installer" first_installer_started || e2e_fail "no installer ran"
  pids=$(prefix_pids '^[^ ]*setup\.exe')
  [ -n "$pids" ] || e2e_fail "setup.exe ended before its installer did"
  # shellcheck disable=SC2086
  kill -9 $pids
  e2e_wait_for "setup.exe to end" setup_gone || e2e_fail "setup.exe still runs after kill -9"
  wait "$first" || true
  e2e_log "killed run: $(tr -d '\r' <"$E2E_WORK/killed.txt")"
  [ -f "$TEMP_DIR/setup.icf" ] || e2e_fail "the killed run left no TEMP copy of setup.icf"
  e2e_wait_for "the orphaned installer to end" installer_gone || e2e_fail "msiexec still runs"
  expect_installer_runs 1
  e2e_run_setup_answering
  snapshot_take "$E2E_WORK/after"
  snapshot_expect_nothing_lost "$E2E_WORK/before" "$E2E_WORK/after"
  e2e_expect_exit 0
  expect_installer_runs 2
  # The copy was taken as it was and removed at the normal end, as after any install.
  [ ! -e "$TEMP_DIR/setup.icf" ] || e2e_fail "the TEMP copy of setup.icf stayed"
}

case_installer_exit_codes
case_installer_no_program
case_plugin_unloadable
case_temp_missing
case_status_host_absent
case_catalogue_unreadable
case_no_setup_inf
case_killed_and_restarted
