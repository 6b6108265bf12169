#!/usr/bin/env bash
# C:\windows\HOST.INI names the status host of a pushed install: a run without options
# reports to it (here: this computer, reached through \\.\mailslot) and deletes the file.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
e2e_new_medium
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=Test Agent
INF
e2e_medium_catalogue

computer=$(e2e_computer_name)
[ -n "$computer" ] || e2e_fail "Wine reports no computer name"
sed 's/$/\r/' >"$(e2e_host_ini_path)" <<INI
[HostServer]
Name=$computer
INI

e2e_start_statusmon
# Without /q a box may tell the user too; it is answered, only the status is judged here.
e2e_run_setup_answering
e2e_stop_statusmon

e2e_expect_exit 0
e2e_expect_status_line '^code=26 level=3 text="Setup cannot continue"'
! e2e_host_ini_exists || e2e_fail "HOST.INI is still there"
