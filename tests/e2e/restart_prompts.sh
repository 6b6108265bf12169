#!/usr/bin/env bash
# Restarts asked for around the install: a plug-in whose BeforeUpgrade answers 3010, the
# product's restart request and the installer's 3010 each lead to prompt 9073 after the
# install; a component package that exits with 3010 ends the setup with prompt 9063 before
# the product is installed, one that exits with 1603 lets it go on without a prompt. The
# launcher's restart is recorded instead of done (SETUP_TEST_NO_RESTART), so the Wine
# session of the case is never ended.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
PLUGIN_DIR="${PLUGIN_DIR:-$E2E_BUILD/tests/e2e/plugins}"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
M='C:\media\restart_prompts'
export SETUP_TEST_NO_RESTART=1 SETUP_TEST_RESTART_RECORD="$M\\restart.txt"
e2e_require_file plugin.dll "$PLUGIN_DIR/plugin.dll"
cp "$PLUGIN_DIR/plugin.dll" "$MEDIUM_DIR/plugin.dll"
e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9011=Install %s
PRODUCT=Test Agent
9063=A component needs a restart before Test Agent can be installed. Restart now?
9073=Windows must be restarted to finish the installation. Restart now?
INI
e2e_medium_file setup.icf </dev/null

# A Yes/No box has its two buttons side by side around the bottom middle, where the
# harness clicks between them: Yes is the left one, No the right one.
click_button() {
  local answer=$1 geometry WIDTH HEIGHT offset=-35
  [ "$answer" = yes ] || offset=35
  geometry=$(xdotool getwindowgeometry --shell "$2" 2>/dev/null) || return 0
  WIDTH=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  HEIGHT=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  [ -n "$WIDTH" ] && [ -n "$HEIGHT" ] || return 0
  xdotool mousemove --window "$2" $((WIDTH / 2 + offset)) $((HEIGHT - 21)) click 1 \
    2>/dev/null || true
}

# Runs setup.exe (interactive) answering every box with ANSWER (yes or no).
run_answering() {
  local answer=$1 case_pid=$$
  shift
  (
    while kill -0 "$case_pid" 2>/dev/null; do
      for id in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
        click_button "$answer" "$id"
      done
      sleep 0.2
    done
  ) &
  local clicker=$!
  e2e_run_setup "$@"
  kill "$clicker" 2>/dev/null || true
  wait "$clicker" 2>/dev/null || true
}

# setup.inf with the product package and the given extra lines.
medium_inf() {
  printf '[Setup]\nProductName=%%PRODUCT%%\nMultiLanguage=0\nMSIPKG=agent.msi\n%s' "$1" |
    e2e_medium_file setup.inf
}

fresh_run() {
  rm -f "$MEDIUM_DIR/record.txt" "$MEDIUM_DIR/restart.txt" "$MEDIUM_DIR/calls.txt" \
    "$MEDIUM_DIR/exitcode.txt"
}

installs() { grep -c '^cmdline=' "$MEDIUM_DIR/record.txt" 2>/dev/null || echo 0; }
restarts() { [ ! -f "$MEDIUM_DIR/restart.txt" ] || tr -d '\r' <"$MEDIUM_DIR/restart.txt"; }

expect_prompt() {
  grep -qx 'Install Test Agent' <<<"$WINDOWS_SEEN" ||
    e2e_fail "no restart prompt; windows seen: ${WINDOWS_SEEN:-none}"
}

expect_restarts() {
  [ "$(restarts)" = "$1" ] || e2e_fail "restart requests: [$(restarts)], expected [$1]"
}

# A restart due after the install, from the plug-in's BeforeUpgrade (3010), the product's
# "reboot" value (1) or the installer's exit code (3010): the product is installed, then
# prompt 9073; Yes restarts with reboot and force (flags 6), No does nothing.
ROOT='HKLM\SOFTWARE\Quorvane\Norvale Tessmark'
medium_inf $'[Upgrade]\nGUIDLL=plugin.dll\n'
due_from() {
  printf '[Answers]\nBeforeUpgrade=%s\n' "$([ "$1" = plug-in ] && echo 3010 || echo 0)" |
    e2e_medium_file answers.ini
  [ "$1" != installer ] || echo 3010 | e2e_medium_file exitcode.txt
  [ "$1" != request ] ||
    e2e_wine "$E2E_TIMEOUT" reg add "$ROOT" /v reboot /t REG_DWORD /d 1 /f /reg:64 >/dev/null
}
while IFS='|' read -r cause answer exit restart; do
  fresh_run
  due_from "$cause"
  run_answering "$answer"
  e2e_expect_exit "$exit"
  [ "$(installs)" = 1 ] || e2e_fail "$cause: the product's installer ran $(installs) times"
  expect_prompt
  expect_restarts "$restart"
done <<'CASES'
plug-in|yes|0|restart requested flags=6
plug-in|no|0|
request|yes|0|restart requested flags=6
installer|yes|3010|restart requested flags=6
CASES
grep -qxF "BeforeUpgrade arg=0 cwd=$M answer=0" <(tr -d '\r' <"$MEDIUM_DIR/calls.txt") ||
  e2e_fail "plug-in calls: $(cat "$MEDIUM_DIR/calls.txt" 2>/dev/null)"
if e2e_wine "$E2E_TIMEOUT" reg query "$ROOT" /v reboot /reg:64 >/dev/null 2>&1; then
  e2e_fail "the product's restart request is still there"
fi
rm -f "$MEDIUM_DIR/answers.ini"

# The component package: 3010 ends the setup after prompt 9063 with only the package's own
# installer run; 1603 lets the product be installed, without a prompt.
medium_inf $'[Components]\nMSMSetup=comp.msi\n'
COMPONENT="msiexec.exe /i \"$M\\comp.msi\" /qn REBOOT=\"R\" "
fresh_run
echo 3010 | e2e_medium_file exitcode.txt
run_answering yes
e2e_expect_exit 0
[ "$(installs)" = 1 ] || e2e_fail "installers after a component's 3010: $(cat "$MEDIUM_DIR/record.txt")"
[ "$(sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" | tr -d '\r')" = "$COMPONENT" ] ||
  e2e_fail "component package command: $(cat "$MEDIUM_DIR/record.txt")"
expect_prompt
expect_restarts "restart requested flags=6"

fresh_run
printf '1603\n0\n' | e2e_medium_file exitcode.txt
run_answering yes
e2e_expect_exit 0
[ "$(installs)" = 2 ] || e2e_fail "installers after a component's 1603: $(cat "$MEDIUM_DIR/record.txt")"
grep -q '^cmdline=.*agent\.msi' "$MEDIUM_DIR/record.txt" || e2e_fail "the product was not installed"
[ -z "$WINDOWS_SEEN" ] || e2e_fail "windows after a component's 1603: $WINDOWS_SEEN"
expect_restarts ""
e2e_log "ok"
