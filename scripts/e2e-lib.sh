# shellcheck shell=bash
# Sourced by the end-to-end cases (tests/e2e/*.sh), which run setup.exe under Wine:
#   source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
#
# Programs under test (CTest sets them; by hand they default to the win64 build):
#   SETUP_EXE SETUP_EXE_I686 STATUSMON_EXE RUNEXIT_EXE MSIEXEC_EXE SENDSTATUS_EXE
# E2E_PREFIX   the cases' own Wine prefix (each case stops its Wine server at the end)
# E2E_TIMEOUT  seconds that one Windows program may run (default 30)
#
# A case calls e2e_start_wine first when it runs Windows programs: it restarts the case
# under a private X server (xvfb-run), so windows and message boxes can appear and be seen.

set -euo pipefail

E2E_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
E2E_BUILD="${E2E_BUILD:-$E2E_ROOT/build/win64}"
E2E_TOOLS="$E2E_BUILD/tests/e2e/tools"
SETUP_EXE="${SETUP_EXE:-$E2E_BUILD/setup.exe}"
SETUP_EXE_I686="${SETUP_EXE_I686:-$E2E_ROOT/build/win32/setup.exe}"
STATUSMON_EXE="${STATUSMON_EXE:-$E2E_BUILD/statusmon/statusmon.exe}"
RUNEXIT_EXE="${RUNEXIT_EXE:-$E2E_TOOLS/runexit.exe}"
MSIEXEC_EXE="${MSIEXEC_EXE:-$E2E_TOOLS/msiexec.exe}"
SENDSTATUS_EXE="${SENDSTATUS_EXE:-$E2E_TOOLS/sendstatus.exe}"
E2E_PREFIX="${E2E_PREFIX:-$E2E_BUILD/tests/e2e/wineprefix}"
E2E_TIMEOUT="${E2E_TIMEOUT:-30}"
E2E_CASE="$(basename "$0" .sh)"
E2E_CASE_ARGS=("$@")
E2E_SKIP=77  # CTest's SKIP_RETURN_CODE for the cases

# Marks the end of a run's status messages: statusmon has printed everything before it.
E2E_STATUS_END="E2E-END-OF-STATUS"

e2e_log() { echo "[$E2E_CASE] $*" >&2; }

e2e_fail() {
  e2e_log "FAIL: $*"
  exit 1
}

e2e_skip() {
  e2e_log "SKIP: $*"
  exit "$E2E_SKIP"
}

e2e_require_file() {
  local what=$1 path=$2
  [ -f "$path" ] || e2e_fail "$what not found: $path"
}

# --- Wine and the X server ----------------------------------------------------------------

# Runs a Windows program under the cases' prefix, ended after SECONDS at the latest.
e2e_wine() {
  local seconds=$1
  shift
  timeout -k 5 "$seconds" "${E2E_WINE_CMD[@]}" "$@"
}

e2e_start_wine() {
  if [ -z "${E2E_UNDER_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || e2e_fail "xvfb-run is missing (scripts/install-deps.sh)"
    export E2E_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "${E2E_CASE_ARGS[@]}"
  fi
  if [ "$(e2e_pe_machine "$SETUP_EXE")" = i386 ] && ! e2e_can_run_32bit; then
    e2e_skip "32-bit Windows programs cannot run on this machine; run the cases from the win64 build"
  fi
  export WINEPREFIX_DIR="$E2E_PREFIX"
  # shellcheck source=wine-env.sh
  source "$E2E_ROOT/scripts/wine-env.sh" "$E2E_PREFIX"
  if [ "$SETUP_WINE_BITS" = 32 ]; then
    E2E_WINE_CMD=(env WINELOADER="$WINE32_LOADER" "$WINE32_LOADER")
  else
    E2E_WINE_CMD=("$WINE64_LOADER")
  fi
  E2E_WORK="$(mktemp -d)"
  trap e2e_cleanup EXIT
  e2e_remove_host_ini
}

# The machine a Windows program is built for: i386, x64 or unknown.
e2e_pe_machine() {
  [ -f "$1" ] || { echo unknown; return; }
  local header machine
  header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || true
  machine=$(od -An -tx2 -j$((${header:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ') || true
  case "$machine" in
  014c) echo i386 ;;
  8664) echo x64 ;;
  *) echo unknown ;;
  esac
}

e2e_can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

e2e_cleanup() {
  local rc=$?
  e2e_stop_window_watch
  if [ -n "${E2E_STATUSMON_PID:-}" ]; then kill "$E2E_STATUSMON_PID" 2>/dev/null || true; fi
  e2e_remove_host_ini
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$E2E_WORK"
  exit "$rc"
}

e2e_drive_c() { echo "$WINEPREFIX/drive_c"; }

# This computer's name as Windows programs see it.
e2e_computer_name() {
  e2e_wine "$E2E_TIMEOUT" cmd /c echo %COMPUTERNAME% | tr -d '\r\n'
}

# The TEMP folder as Windows programs see it (C:\users\...\Temp).
e2e_temp_win() {
  e2e_wine "$E2E_TIMEOUT" cmd /c echo %TEMP% | tr -d '\r\n'
}

# --- The medium ---------------------------------------------------------------------------

# A fresh folder C:\media\<case> holding setup.exe; sets MEDIUM_DIR and MEDIUM_WIN.
e2e_new_medium() {
  local name=${1:-$E2E_CASE}
  e2e_require_file setup.exe "$SETUP_EXE"
  MEDIUM_DIR="$(e2e_drive_c)/media/$name"
  MEDIUM_WIN="C:\\media\\$name"
  rm -rf "$MEDIUM_DIR"
  mkdir -p "$MEDIUM_DIR"
  cp "$SETUP_EXE" "$MEDIUM_DIR/setup.exe"
}

# The recording installer beside setup.exe, found before the system's msiexec.exe.
# Its record goes to $MEDIUM_DIR/record.txt, its exit codes come from exitcode.txt there.
e2e_add_recording_msiexec() {
  e2e_require_file msiexec.exe "$MSIEXEC_EXE"
  cp "$MSIEXEC_EXE" "$MEDIUM_DIR/msiexec.exe"
}

# Writes standard input to a file of the medium with Windows line ends:
#   e2e_medium_file setup.inf <<'EOF' ... EOF
e2e_medium_file() {
  sed 's/\r*$/\r/' >"$MEDIUM_DIR/$1"
}

# setupres.ini with the English texts the cases look for, and an empty setup.icf.
e2e_medium_catalogue() {
  e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
INI
  e2e_medium_file setup.icf </dev/null
}

e2e_host_ini_path() { echo "$(e2e_drive_c)/windows/HOST.INI"; }

e2e_host_ini_exists() {
  find "$(e2e_drive_c)/windows" -maxdepth 1 -iname host.ini | grep -q .
}

e2e_remove_host_ini() {
  find "$(e2e_drive_c)/windows" -maxdepth 1 -iname host.ini -delete 2>/dev/null || true
}

# --- Running setup.exe --------------------------------------------------------------------

# Runs setup.exe of the medium with ARGS from the medium folder through runexit.exe.
# Sets SETUP_EXIT (the full 32-bit exit code), SETUP_SECONDS and WINDOWS_SEEN (captions of
# the windows it showed); fails on a time-out.
e2e_run_setup() {
  e2e_run_setup_watching "" "$@"
}

# The same, clicking the only button of each box shown, for runs that may ask the user.
e2e_run_setup_answering() {
  e2e_run_setup_watching answer "$@"
}

e2e_run_setup_watching() {
  local answer=$1 started ended
  shift
  e2e_start_window_watch "$answer"
  started=$(date +%s%N)
  e2e_runexit "$MEDIUM_WIN\\setup.exe" "$@"
  ended=$(date +%s%N)
  e2e_stop_window_watch
  [ -z "$WINDOWS_SEEN" ] || e2e_log "windows shown: ${WINDOWS_SEEN//$'\n'/, }"
  SETUP_SECONDS=$(((ended - started) / 1000000000))
  [ "$RUN_OUTPUT" != timeout ] ||
    e2e_fail "setup.exe${*:+ $*} still ran after ${E2E_TIMEOUT}s (waiting for input?)"
  SETUP_EXIT=$(sed -n 's/^exit=\([0-9]*\)$/\1/p' <<<"$RUN_OUTPUT")
  [ -n "$SETUP_EXIT" ] || e2e_fail "no exit code from runexit: $RUN_OUTPUT"
  e2e_log "setup.exe${*:+ $*} exited with $SETUP_EXIT after ${SETUP_SECONDS}s"
}

# Runs a Windows program with ARGS from the medium folder through runexit.exe, ended after
# E2E_TIMEOUT; RUN_OUTPUT is what runexit printed: "exit=<full exit code>" or "timeout".
e2e_runexit() {
  e2e_require_file runexit.exe "$RUNEXIT_EXE"
  RUN_OUTPUT=$(cd "$MEDIUM_DIR" &&
    e2e_wine $((E2E_TIMEOUT + 10)) "$RUNEXIT_EXE" --timeout $((E2E_TIMEOUT * 1000)) "$@" |
    tr -d '\r') || true
}

e2e_expect_exit() {
  [ "$SETUP_EXIT" = "$1" ] || e2e_fail "setup.exe exit code $SETUP_EXIT, expected $1"
}

# --- statusmon.exe ------------------------------------------------------------------------

# Starts statusmon.exe in the background (ARGS: its options) and waits until it listens.
e2e_start_statusmon() {
  e2e_require_file statusmon.exe "$STATUSMON_EXE"
  E2E_STATUS_OUT="$E2E_WORK/statusmon.out"
  E2E_STATUS_ERR="$E2E_WORK/statusmon.err"
  E2E_STATUS_SLOT='\\.\mailslot\SetupStatus'
  local previous=""
  for arg in "$@"; do
    [ "$previous" = --name ] && E2E_STATUS_SLOT="\\\\.\\mailslot\\$arg"
    previous=$arg
  done
  : >"$E2E_STATUS_OUT"
  # Started without a shell function in between, so that $! is timeout's own process,
  # which hands the signal that stops it on to the program.
  timeout -k 5 $((E2E_TIMEOUT * 4)) "${E2E_WINE_CMD[@]}" "$STATUSMON_EXE" "$@" \
    >"$E2E_STATUS_OUT" 2>"$E2E_STATUS_ERR" &
  E2E_STATUSMON_PID=$!
  e2e_wait_for "statusmon to listen" grep -q "listening on" "$E2E_STATUS_ERR" ||
    e2e_fail "statusmon did not start: $(cat "$E2E_STATUS_ERR")"
}

# Ends statusmon.exe once it has printed every message sent so far; STATUS_LINES then
# holds its lines.
e2e_stop_statusmon() {
  e2e_send_status --raw "$E2E_STATUS_END"
  e2e_wait_for "the last status line" e2e_status_end_printed ||
    e2e_fail "statusmon did not print the end marker; it printed: $(cat "$E2E_STATUS_OUT")"
  kill "$E2E_STATUSMON_PID" 2>/dev/null || true
  wait "$E2E_STATUSMON_PID" 2>/dev/null || true
  E2E_STATUSMON_PID=""
  STATUS_LINES=$(tr -d '\r' <"$E2E_STATUS_OUT" | grep -vx "raw: $E2E_STATUS_END" || true)
  e2e_log "status lines:${STATUS_LINES:+$'\n'}${STATUS_LINES:- none}"
}

# statusmon's lines end with CR LF, as Windows console programs write them.
e2e_status_end_printed() { tr -d '\r' <"$E2E_STATUS_OUT" | grep -qx "raw: $E2E_STATUS_END"; }

# Waits until statusmon.exe ends by itself (--count, --idle-exit); fails when it does not
# or when it ends with an error.
e2e_expect_statusmon_exit() {
  e2e_wait_for "statusmon to exit" e2e_statusmon_exited || e2e_fail "statusmon still runs"
  local rc=0
  wait "$E2E_STATUSMON_PID" || rc=$?
  E2E_STATUSMON_PID=""
  [ "$rc" = 0 ] || e2e_fail "statusmon exited with $rc: $(cat "$E2E_STATUS_ERR")"
}

e2e_statusmon_exited() { ! kill -0 "$E2E_STATUSMON_PID" 2>/dev/null; }

# Sends one status message to the slot statusmon listens on (sendstatus.exe ARGS).
e2e_send_status() {
  e2e_require_file sendstatus.exe "$SENDSTATUS_EXE"
  e2e_wine "$E2E_TIMEOUT" "$SENDSTATUS_EXE" --slot "$E2E_STATUS_SLOT" "$@" ||
    e2e_fail "sendstatus $* failed"
}

e2e_expect_status_line() {
  grep -qE -- "$1" <<<"$STATUS_LINES" || e2e_fail "no status line matches /$1/"
}

e2e_expect_no_status_line() {
  if grep -qE -- "$1" <<<"$STATUS_LINES"; then
    e2e_fail "unexpected status line: $(grep -E -- "$1" <<<"$STATUS_LINES")"
  fi
}

# --- Windows on the X server --------------------------------------------------------------

# Notes the caption of every visible window in the background until e2e_stop_window_watch;
# with "answer" it also clicks the bottom middle of each, where a box's only button sits
# (without a window manager, Wine's windows do not take the keyboard focus).
e2e_start_window_watch() {
  E2E_WINDOWS="$E2E_WORK/windows.txt"
  : >"$E2E_WINDOWS"
  e2e_window_watch_loop "${1:-}" &
  E2E_WATCH_PID=$!
}

e2e_window_watch_loop() {
  local answer=$1 id
  while true; do
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
      xdotool getwindowname "$id" >>"$E2E_WINDOWS" 2>/dev/null || true
      [ "$answer" = answer ] && e2e_click_bottom_middle "$id"
    done
    sleep 0.2
  done
}

e2e_click_bottom_middle() {
  local geometry WIDTH HEIGHT
  geometry=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 0
  WIDTH=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  HEIGHT=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  [ -n "$WIDTH" ] && [ -n "$HEIGHT" ] || return 0
  xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT - 13)) click 1 2>/dev/null || true
}

# Sets WINDOWS_SEEN to the distinct captions noted.
e2e_stop_window_watch() {
  [ -n "${E2E_WATCH_PID:-}" ] || return 0
  kill "$E2E_WATCH_PID" 2>/dev/null || true
  wait "$E2E_WATCH_PID" 2>/dev/null || true
  E2E_WATCH_PID=""
  WINDOWS_SEEN=$(sort -u "$E2E_WINDOWS")
}

# --- Helpers ------------------------------------------------------------------------------

# Retries COMMAND for up to E2E_TIMEOUT seconds; false when it never succeeded.
e2e_wait_for() {
  local what=$1 deadline=$((SECONDS + E2E_TIMEOUT))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || {
      e2e_log "gave up waiting for $what"
      return 1
    }
    sleep 0.1
  done
}
