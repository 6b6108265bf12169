#!/usr/bin/env bash
# statusmon.exe prints each message on the slot as one line, the undecodable ones raw,
# and ends after --count messages or --idle-exit milliseconds.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine

e2e_start_statusmon
e2e_send_status 5 1
e2e_send_status 26 3 $'Disk full\tC:\\'
e2e_send_status --raw $'not a status\tline'
e2e_stop_statusmon
computer=$(e2e_computer_name)
expected=$(printf '%s\n' \
  "code=5 level=1 from=$computer" \
  "code=26 level=3 text=\"Disk full\\tC:\\\\\" from=$computer" \
  'raw: not a status\tline')
[ "$STATUS_LINES" = "$expected" ] ||
  e2e_fail "status lines differ; expected:"$'\n'"$expected"

# A slot of another name, left after two messages.
e2e_start_statusmon --name E2EOther --count 2
e2e_send_status 1 1
e2e_send_status 2 1
e2e_expect_statusmon_exit
[ "$(grep -c '^code=' "$E2E_STATUS_OUT")" = 2 ] || e2e_fail "--count 2 printed: $(cat "$E2E_STATUS_OUT")"

e2e_start_statusmon --idle-exit 500
e2e_expect_statusmon_exit
