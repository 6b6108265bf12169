#!/usr/bin/env bash
# A setup.inf that names a package: start-up hands over to the install worker without
# reporting a failure to the status host.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_add_recording_msiexec
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
MSIPKG=agent.msi
INF
e2e_medium_catalogue

e2e_start_statusmon
e2e_run_setup_answering /r
e2e_stop_statusmon

e2e_expect_exit 0
e2e_expect_no_status_line '^code=26 level=3'
