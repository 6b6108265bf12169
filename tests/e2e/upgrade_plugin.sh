#!/usr/bin/env bash
# The medium's upgrade plug-in, a real DLL (tests/install/plugins) whose answers come from
# answers.ini beside it and which notes each call in calls.txt: BeforeUpgrade 1603 ends
# the setup before the installer, as does BeforeUpgradeEx 1603 for a master setup;
# CheckBuildNumberForBrisal decides whether a minor update of a registered product is a
# reinstall; "%s" in GUIDLL names the language folder, which is the current directory
# during the call and holds the resource library; a library without the exports, one with
# decorated names only, and a file that is no library let the setup go on (the last with
# an error box in an interactive run).
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
PLUGIN_DIR="${PLUGIN_DIR:-$E2E_BUILD/tests/e2e/plugins}"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
M='C:\media\upgrade_plugin'
PRODUCTS='HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Products'
# Nothing here should restart, but nothing may end the session either.
export SETUP_TEST_NO_RESTART=1 SETUP_TEST_RESTART_RECORD="$M\\restart.txt"
for dll in plugin noexports decorated notadll; do
  e2e_require_file "$dll.dll" "$PLUGIN_DIR/$dll.dll"
  cp "$PLUGIN_DIR/$dll.dll" "$MEDIUM_DIR/$dll.dll"
done
mkdir -p "$MEDIUM_DIR/1033"
cp "$PLUGIN_DIR/plugin.dll" "$MEDIUM_DIR/1033/plugin.dll"
cp "$PLUGIN_DIR/noexports.dll" "$MEDIUM_DIR/1033/res.dll"
e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9011=Install %s
PRODUCT=Test Agent
INI
e2e_medium_file setup.icf </dev/null

registered() {
  if [ "$1" = yes ]; then
    e2e_wine "$E2E_TIMEOUT" reg add "$PRODUCTS" /v AgentDesc /d 1 /f /reg:64 >/dev/null
  else
    e2e_wine "$E2E_TIMEOUT" reg delete "$PRODUCTS" /f /reg:64 >/dev/null 2>&1 || true
  fi
}

# setup.inf: the package key (MSIPKG or MINORPKG), GUIDLL, and extra lines.
medium_inf() {
  printf '[Setup]\nProductName=%%PRODUCT%%\nProductDescriptor=AgentDesc\nMultiLanguage=0\n%s=agent.msi\n[Upgrade]\nGUIDLL=%s\n%s' \
    "$1" "$2" "${3:-}" | e2e_medium_file setup.inf
}

# The plug-in's answers, as "Export=value" words; written beside both copies.
answers() {
  local folder
  for folder in "$MEDIUM_DIR" "$MEDIUM_DIR/1033"; do
    { echo '[Answers]'; printf '%s\n' "$@"; } | sed 's/\r*$/\r/' >"$folder/answers.ini"
  done
}

fresh_run() {
  rm -f "$MEDIUM_DIR/record.txt" "$MEDIUM_DIR/calls.txt" "$MEDIUM_DIR/1033/calls.txt" \
    "$MEDIUM_DIR/restart.txt"
}

calls() { cat "$MEDIUM_DIR/calls.txt" "$MEDIUM_DIR/1033/calls.txt" 2>/dev/null | tr -d '\r' || true; }
recorded() { sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" 2>/dev/null | tr -d '\r' || true; }

expect_calls() {
  [ "$(calls)" = "$1" ] || e2e_fail "plug-in calls:
  got      [$(calls)]
  expected [$1]"
}

expect_installed() {
  grep -q 'agent\.msi' <<<"$(recorded)" || e2e_fail "the product was not installed"
}

expect_no_restart() {
  [ ! -s "$MEDIUM_DIR/restart.txt" ] || e2e_fail "restart asked for: $(cat "$MEDIUM_DIR/restart.txt")"
}

# BeforeUpgrade 1603: no installer at all.
registered no
medium_inf MSIPKG plugin.dll
answers BeforeUpgrade=1603
fresh_run
e2e_run_setup_answering /q
e2e_expect_exit 0
[ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "the installer ran: $(recorded)"
expect_calls "BeforeUpgrade arg=1 cwd=$M answer=1603"

# A master setup of the base product asks BeforeUpgradeEx, with the install configuration
# file, and is refused in the same way.
answers BeforeUpgradeEx=1603
fresh_run
e2e_run_setup_answering MASTERSETUP=1 "ICFPATH=$M\\setup.icf" PRODNAME=Tessmark
e2e_expect_exit 0
[ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "the installer ran: $(recorded)"
expect_calls "BeforeUpgradeEx arg=1 second=$M\\setup.icf cwd=$M answer=1603"

# CheckBuildNumberForBrisal over a registered product: 0 means a reinstall, anything else
# a normal install; AfterUpgrade follows the install of the registered product.
H="msiexec.exe /i \"$M\\agent.msi\" SETUPDIR=\"$M\\\""
C="COPYPATH=\"$M\\1033\" ALLUSERS=\"AllUsers\""
registered yes
medium_inf MINORPKG plugin.dll
while IFS='|' read -r answer expected; do
  answers CheckBuildNumberForBrisal="$answer"
  fresh_run
  e2e_run_setup_answering /q
  e2e_expect_exit 0
  [ "$(recorded)" = "$expected" ] || e2e_fail "answer $answer:
  got      [$(recorded)]
  expected [$expected]"
  expect_calls "BeforeUpgrade arg=1 cwd=$M answer=0
CheckBuildNumberForBrisal arg=1 cwd=$M answer=$answer
AfterUpgrade arg=1 cwd=$M answer=0"
done <<EOF_CASES
0|$H REINSTALL=ALL REINSTALLMODE=vomus /q  $C
1|$H /q  LANGUAGEID=1033 $C
7|$H /q  LANGUAGEID=1033 $C
EOF_CASES
registered no

# "%s" in GUIDLL: the plug-in of the language folder, called from that folder; its resource
# library is found there for BeforeUpgrade, which passes the language folder, only.
medium_inf MSIPKG '%s\plugin.dll' $'[ProductInfo]\nSetupResDll=res.dll\n'
answers BeforeUpgrade=0
fresh_run
e2e_run_setup_answering /q
e2e_expect_exit 0
expect_installed
expect_calls "InitRes arg=module cwd=$M\\1033 answer=0
BeforeUpgrade arg=1 cwd=$M\\1033 answer=0"

# Libraries that answer nothing: the setup goes on. A file that is no library is told in
# an error box captioned with the setup's title, but only in an interactive run.
while IFS='|' read -r dll args box; do
  medium_inf MSIPKG "$dll"
  fresh_run
  # shellcheck disable=SC2086
  e2e_run_setup_answering $args
  e2e_expect_exit 0
  expect_installed
  expect_calls ""
  if [ "$box" = box ]; then
    grep -qx 'Install Test Agent' <<<"$WINDOWS_SEEN" || e2e_fail "$dll: no error box"
  else
    [ -z "$WINDOWS_SEEN" ] || e2e_fail "$dll${args:+ $args}: windows shown: $WINDOWS_SEEN"
  fi
done <<'EOF_CASES'
noexports.dll|/q|
decorated.dll|/q|
notadll.dll||box
notadll.dll|/q|
EOF_CASES
expect_no_restart
e2e_log "ok"
