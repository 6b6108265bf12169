#!/usr/bin/env bash
# setup.exe alone, without setup.inf: it ends by itself at once, with exit code 0 and
# without showing any window, whether run by a user or unattended.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium

for args in "" "/q"; do
  e2e_run_setup $args
  e2e_expect_exit 0
  [ "$SETUP_SECONDS" -le 10 ] || e2e_fail "setup.exe $args took ${SETUP_SECONDS}s"
  [ -z "$WINDOWS_SEEN" ] || e2e_fail "setup.exe $args showed windows: $WINDOWS_SEEN"
done
