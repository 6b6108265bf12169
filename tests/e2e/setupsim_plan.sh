#!/usr/bin/env bash
# setupsim's msiexec.exe command line is the one the real setup.exe composes: the same
# medium is run under Wine (the recording installer beside setup.exe records the line) and
# through setupsim with the medium at the same place on its simulated machine: fixture
# media in five run modes, and the sample medium as built.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
SETUPSIM="${SETUPSIM:-$E2E_ROOT/build/native/tools/setupsim/setupsim}"
[ -x "$SETUPSIM" ] || e2e_skip "setupsim not built (native build): $SETUPSIM"
e2e_start_wine
# setupsim gets Wine's TEMP folder and system language.
TEMP_WIN=$(e2e_temp_win)
LOCALE=$(e2e_wine "$E2E_TIMEOUT" reg query 'HKCU\Control Panel\International' /v Locale |
  tr -d '\r' | sed -n 's/.*REG_SZ *\([0-9A-Fa-f]*\)$/\1/p')
[ -n "$LOCALE" ] || e2e_fail "no system locale in Wine's registry"

# Runs setup.exe ARGS on the medium and setupsim the same way; their lines must be equal.
#   same_line ARGS [WHAT-THE-MEDIUM-IS]
same_line() {
  local args=$1 medium="$MEDIUM_WIN${2:+ ($2)}" recorded planned
  rm -f "$MEDIUM_DIR/record.txt"
  # shellcheck disable=SC2086
  e2e_run_setup_answering $args
  e2e_expect_exit 0
  recorded=$(sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" | tr -d '\r')
  rm -f "$MEDIUM_DIR/record.txt"
  planned=$(ASAN_OPTIONS=detect_leaks=0 "$SETUPSIM" --root "$MEDIUM_WIN" --temp "$TEMP_WIN" \
    --lang $((16#$LOCALE)) --args "$args" "$MEDIUM_DIR" | sed -n 's/^msiexec.exe command line: //p')
  [ -n "$recorded" ] || e2e_fail "$medium, setup.exe $args: no command line recorded"
  [ "$recorded" = "$planned" ] ||
    e2e_fail "$medium, setup.exe $args:
  setup.exe [$recorded]
  setupsim  [$planned]"
}

e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_catalogue
echo "package stand-in" >"$MEDIUM_DIR/agent.msi"

# case: multi-language, package key, arguments
check() {
  printf '[Setup]\nProductName=Test Agent\nProductDescriptor=AgentDesc\nMultiLanguage=%s\n%s=agent.msi\nCmdLine=EXTRA=1\n' \
    "$1" "$2" | e2e_medium_file setup.inf
  same_line "$3" "$2, multi-language $1"
}

check 0 MSIPKG ""
check 1 MSIPKG "/q"
check 1 MSIPKG "/q LOCALIZED=1"
check 1 MINORPKG "MASTERSETUP=1 PRODNAME=AGENT"
check 1 MSIPKG "MASTERSETUP=1 LANGUAGEID=1041"
e2e_log "setupsim's msiexec.exe command lines equal setup.exe's on fixture media"

# The sample media as built (three languages, commands, plug-in, block rule; a SAP pair),
# with the recording installer beside setup.exe.
built_medium() {
  e2e_require_file "$1" "$(dirname "$SETUP_EXE")/$1/setup.inf"
  e2e_new_medium "$1-plan"
  cp -r "$(dirname "$SETUP_EXE")/$1/." "$MEDIUM_DIR/"
  e2e_add_recording_msiexec
}
built_medium sample-medium
same_line "/q"
same_line "/q LOCALIZED=1"
same_line "/q /r"
printf '[Install]\r\nLanguageID=1031\r\n' >"$MEDIUM_DIR/setup.icf"
same_line "/q"
built_medium sap-medium
same_line "/q"
e2e_log "and on the sample media as built"
