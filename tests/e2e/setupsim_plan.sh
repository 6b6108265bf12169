#!/usr/bin/env bash
# setupsim's msiexec.exe command line is the one the real setup.exe composes: the same
# medium is run under Wine (the recording installer beside setup.exe records the line) and
# through setupsim with the medium at the same place on its simulated machine.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
SETUPSIM="${SETUPSIM:-$E2E_ROOT/build/native/tools/setupsim/setupsim}"
[ -x "$SETUPSIM" ] || e2e_skip "setupsim not built (native build): $SETUPSIM"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_catalogue
echo "package stand-in" >"$MEDIUM_DIR/agent.msi"

# case: multi-language, package key, arguments
check() {
  local multi=$1 package=$2 args=$3 recorded planned
  printf '[Setup]\nProductName=Test Agent\nProductDescriptor=AgentDesc\nMultiLanguage=%s\n%s=agent.msi\nCmdLine=EXTRA=1\n' \
    "$multi" "$package" | e2e_medium_file setup.inf
  rm -f "$MEDIUM_DIR/record.txt"
  # shellcheck disable=SC2086
  e2e_run_setup_answering $args
  e2e_expect_exit 0
  recorded=$(sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" | tr -d '\r')
  rm -f "$MEDIUM_DIR/record.txt"
  planned=$(ASAN_OPTIONS=detect_leaks=0 "$SETUPSIM" --root "$MEDIUM_WIN" --args "$args" "$MEDIUM_DIR" |
    sed -n 's/^msiexec.exe command line: //p')
  [ -n "$recorded" ] || e2e_fail "setup.exe $args: no command line recorded"
  [ "$recorded" = "$planned" ] ||
    e2e_fail "setup.exe $args ($package, multi $multi):
  setup.exe [$recorded]
  setupsim  [$planned]"
}

check 0 MSIPKG ""
check 1 MSIPKG "/q"
check 1 MSIPKG "/q LOCALIZED=1"
check 1 MINORPKG "MASTERSETUP=1 PRODNAME=AGENT"
check 1 MSIPKG "MASTERSETUP=1 LANGUAGEID=1041"
e2e_log "setupsim's msiexec.exe command lines equal setup.exe's"
