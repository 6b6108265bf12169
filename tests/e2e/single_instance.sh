#!/usr/bin/env bash
# One setup of a product at a time: a second setup.exe started while the first waits in its
# installer ends at once without running the installer (quiet) or after showing message
# 9014 (interactive); one started after the first has ended runs.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=%PRODUCT%
MSIPKG=agent.msi
MultiLanguage=0
INF
e2e_medium_file setupres.ini <<'INI'
[1033]
PRODUCT=Test Agent
9011=Install %s
9014=Setup detects another %s setup program is already running!
INI
runs() { grep -c '^cmdline=' "$MEDIUM_DIR/record.txt" 2>/dev/null || echo 0; }
first_installer_runs() { [ "$(runs)" = 1 ]; }

# The first setup waits 10 s in its installer.
(cd "$MEDIUM_DIR" && SETUP_RECORD_SLEEP_MS=10000 e2e_wine 40 "$RUNEXIT_EXE" "$MEDIUM_WIN\\setup.exe" /q \
  >"$E2E_WORK/first.txt") &
first=$!
e2e_wait_for "the first installer" first_installer_runs || e2e_fail "the first setup ran no installer"

e2e_run_setup /q
e2e_expect_exit 0
[ "$(runs)" = 1 ] || e2e_fail "a quiet second setup ran the installer"
[ -z "$WINDOWS_SEEN" ] || e2e_fail "a quiet second setup showed: $WINDOWS_SEEN"

e2e_run_setup_answering
e2e_expect_exit 0
[ "$(runs)" = 1 ] || e2e_fail "an interactive second setup ran the installer"
grep -qx 'Install Test Agent' <<<"$WINDOWS_SEEN" || e2e_fail "no box 9014; windows: $WINDOWS_SEEN"

wait "$first"
grep -qx 'exit=0' <(tr -d '\r' <"$E2E_WORK/first.txt") || e2e_fail "first setup: $(cat "$E2E_WORK/first.txt")"
e2e_run_setup /q
e2e_expect_exit 0
[ "$(runs)" = 2 ] || e2e_fail "the setup started after the first had ended did not run"
