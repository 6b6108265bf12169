#!/usr/bin/env bash
# A setup.inf that names no package: with a status host (/r, empty: this computer) the
# failure arrives as status 26/3 with catalogue message 9, and the exit code stays 0.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
INF
e2e_medium_catalogue

e2e_start_statusmon
# Without /q a box may tell the user too; it is answered, only the status is judged here.
e2e_run_setup_answering /r
e2e_stop_statusmon

e2e_expect_exit 0
e2e_expect_status_line '^code=26 level=3 text="Setup cannot continue"'
