#!/usr/bin/env bash
# The stand-ins the cases rely on: runexit.exe reports a child's full exit code and ends a
# child that runs too long; the recording msiexec.exe records each run and answers the
# exit codes it is given, one per run.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
printf '1603\r\n3010\r\n' >"$MEDIUM_DIR/exitcode.txt"
msiexec="$MEDIUM_WIN\\msiexec.exe"

export SETUP_RECORD_ENV=E2E_SET,E2E_EMPTY,E2E_UNSET E2E_SET="a b" E2E_EMPTY=""
for expected in 1603 3010 3010; do
  e2e_runexit "$msiexec" /i "$MEDIUM_WIN\\a b.msi" /qn
  [ "$RUN_OUTPUT" = "exit=$expected" ] || e2e_fail "run answered '$RUN_OUTPUT', expected exit=$expected"
done

first_block=$(tr -d '\r' <"$MEDIUM_DIR/record.txt" | sed '/^--$/q')
expected_block=$(printf '%s\n' \
  "cmdline=$msiexec /i \"$MEDIUM_WIN\\a b.msi\" /qn" \
  "cwd=$MEDIUM_WIN" \
  "env.E2E_SET=a b" \
  "env.E2E_EMPTY=" \
  "env.E2E_UNSET" \
  "exit=1603" \
  "--")
[ "$first_block" = "$expected_block" ] ||
  e2e_fail "record block:"$'\n'"$first_block"$'\n'"expected:"$'\n'"$expected_block"
[ "$(grep -c '^cmdline=' "$MEDIUM_DIR/record.txt")" = 3 ] || e2e_fail "not 3 runs recorded"

SETUP_RECORD_SLEEP_MS=20000 E2E_TIMEOUT=2 e2e_runexit "$msiexec"
[ "$RUN_OUTPUT" = timeout ] || e2e_fail "runexit --timeout answered '$RUN_OUTPUT'"
