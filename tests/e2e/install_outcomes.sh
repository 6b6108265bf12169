#!/usr/bin/env bash
# The installer's exit code becomes the launcher's, and each outcome reaches the status
# host; an installer that cannot be started is reported to the master setup, quoted.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
MSIPKG=agent.msi
MultiLanguage=0
INF
e2e_medium_file setupres.ini <<'INI'
[1033]
9=Setup cannot continue
9013=Cannot load %s.
10=Installation failure. Please check setup log file %s for detailed information.
INI

outcome() {
  local code=$1 line=$2
  echo "$code" >"$MEDIUM_DIR/exitcode.txt"
  e2e_start_statusmon
  e2e_run_setup_answering /q /r
  e2e_stop_statusmon
  e2e_expect_exit "$code"
  e2e_expect_status_line '^code=5 level=1'
  e2e_expect_status_line "$line"
}
outcome 0 '^code=4 level=2'
outcome 1603 '^code=26 level=3 text="Installation failure\. Please check setup log file'
outcome 3010 '^code=30 level=2'

# An msiexec.exe beside the launcher that is no program: the start fails.
rm -f "$MEDIUM_DIR/msiexec.exe"
echo "not a program" >"$MEDIUM_DIR/msiexec.exe"
e2e_start_statusmon
e2e_run_setup_answering MASTERSETUP=1 PRODNAME=AGENT
e2e_stop_statusmon
e2e_expect_exit 0
e2e_expect_status_line '^code=26 level=3 product=AGENT text=""Cannot load C:\\\\media\\\\install_outcomes\\\\agent\.msi\.""'
