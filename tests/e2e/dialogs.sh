#!/usr/bin/env bash
# The language and database dialogs of a real setup.exe under Wine, answered by clicking
# their controls with xdotool as a user would (dlgpick.exe tells where the controls are,
# and checks what the dialog then holds), and the wait box. Screenshots of the dialogs
# and the wait box are kept as artefacts in build/<preset>/tests/e2e/artefacts/.
#  - English, Deutsch and Francais listed, folders 1033 and 1036 only: the list shows
#    English and Francais; Francais chosen installs with TRANSFORMS=1036.mst LANGUAGEID=1036.
#  - One listed language: no dialog waits. Cancel: the installer never runs, exit code 0.
#  - A SAP medium: the database dialog comes first; Oracle chosen installs the Oracle
#    package with the copy path <medium>\Oracle\<language>.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
DLGPICK_EXE="${DLGPICK_EXE:-$E2E_TOOLS/dlgpick.exe}"
WAITBOX_EXE="${WAITBOX_EXE:-$E2E_TOOLS/waitbox.exe}"
e2e_require_file dlgpick.exe "$DLGPICK_EXE"
e2e_require_file waitbox.exe "$WAITBOX_EXE"
ARTEFACTS="$(dirname "$SETUP_EXE")/tests/e2e/artefacts"
# Without a window manager nobody draws a window's caption bar; Wine draws the whole
# window itself when its windows are not managed, so the screenshots show the captions.
# Set for this case only: the other cases find windows by the names of managed ones.
X11_KEY='HKCU\Software\Wine\X11 Driver'
e2e_wine "$E2E_TIMEOUT" reg add "$X11_KEY" /v Managed /d N /f >/dev/null
dialogs_cleanup() {
  local rc=$?
  e2e_wine "$E2E_TIMEOUT" reg delete "$X11_KEY" /v Managed /f >/dev/null 2>&1 || true
  (exit "$rc")
  e2e_cleanup
}
trap dialogs_cleanup EXIT
mkdir -p "$ARTEFACTS"
LANGUAGE_CAPTION="Choose Setup Language"
SAP_CAPTION="Backup Agent for SAP"

# setupres.ini: the dialog's texts and the languages (entries given as arguments).
catalogue() {
  {
    printf '[LANGUAGE]\nLANGUAGENUMBER=%s\n' "$#"
    printf '[1033]\n9=Setup cannot continue\n9011=Install %%s\nPRODUCT=Test Agent\n'
    printf 'SAPAGENT=Backup Agent for SAP%%s\n'
    printf 'SAPSELECTSQL=SAP on Microsoft SQL Server\nSAPSELECTORACLE=SAP on Oracle\n'
    printf 'TITLE=%s\n' "$LANGUAGE_CAPTION"
    printf 'DESCRIPTION=Select the language for this installation from the choices below\n'
    printf 'OK=OK\nCancel=Cancel\n'
    local i=0 entry
    for entry in "$@"; do
      printf 'LANGUAGE%d=%s\n' "$i" "$entry"
      i=$((i + 1))
    done
  } | e2e_medium_file setupres.ini
  e2e_medium_file setup.icf </dev/null
}

language_medium() {
  e2e_new_medium "$1"
  e2e_add_recording_msiexec
  shift
  local folder
  for folder in "$@"; do mkdir -p "$MEDIUM_DIR/$folder"; done
  printf '[Setup]\nProductName=%%PRODUCT%%\nMSIPKG=agent.msi\n' | e2e_medium_file setup.inf
  catalogue "English 1033" "Deutsch 1031" "Francais 1036"
}

recorded_cmdline() { sed -n 's/^cmdline=//p' "$MEDIUM_DIR/record.txt" 2>/dev/null | tr -d '\r'; }

# dlgpick CAPTION ARGS...: its output without CR.
dlgpick() { e2e_wine "$E2E_TIMEOUT" "$DLGPICK_EXE" "$@" | tr -d '\r'; }

# The centre of "rect NAME=l t r b" in dlgpick's output ($1) as "x y".
centre() {
  sed -n "s/^rect $2=\(-*[0-9]*\) \(-*[0-9]*\) \(-*[0-9]*\) \(-*[0-9]*\)$/\1 \2 \3 \4/p" <<<"$1" |
    awk '{ printf "%d %d\n", ($1 + $3) / 2, ($2 + $4) / 2 }'
}

click_at() {
  # shellcheck disable=SC2086
  xdotool mousemove $1 click 1
}

shot() {
  import -window root "$ARTEFACTS/$1"
  e2e_log "screenshot: $ARTEFACTS/$1"
}

# Presses button ID of the dialog CAPTION by clicking it; the dialog must then close.
click_button_and_wait_gone() {
  local caption=$1 id=$2 rects at gone
  rects=$(dlgpick "$caption" --rect "$id")
  at=$(centre "$rects" "$id")
  [ -n "$at" ] || { echo "no button $id: $rects"; return 1; }
  click_at "$at"
  gone=$(dlgpick "$caption" --timeout 0 --wait-gone 5000 || true)
  if ! grep -qE '^(gone|not found)$' <<<"$gone"; then
    echo "the click on button $id at $at did not close the dialog; pressing it by message"
    dlgpick "$caption" --timeout 0 --press "$id" --wait-gone 5000
  fi
}

# --- Three languages listed, two folders: Francais chosen --------------------------------
language_medium three_languages 1033 1036
pick_francais() {
  local listing at
  listing=$(dlgpick "$LANGUAGE_CAPTION" --list --rect 1109 --item-rect 1 --rect 1) || {
    echo "no language dialog: $listing"
    return 1
  }
  echo "$listing"
  sleep 0.5
  shot language_dialog.png
  at=$(centre "$listing" 1109)
  click_at "$at"
  sleep 1
  shot language_dialog_open.png
  at=$(centre "$listing" "item 1")
  click_at "$at"
  sleep 0.5
  if ! dlgpick "$LANGUAGE_CAPTION" --timeout 0 --list | grep -qx "selected=1"; then
    echo "the click on the list did not select item 1; selecting it by message"
    dlgpick "$LANGUAGE_CAPTION" --timeout 0 --select 1 --list
  fi
  click_button_and_wait_gone "$LANGUAGE_CAPTION" 1
}
pick_francais >"$E2E_WORK/pick.log" 2>&1 &
picker=$!
e2e_run_setup
wait "$picker" || e2e_fail "picking Francais failed: $(cat "$E2E_WORK/pick.log")"
e2e_log "picker: $(tr '\n' '|' <"$E2E_WORK/pick.log")"
e2e_expect_exit 0
items=$(sed -n 's/^item=//p' "$E2E_WORK/pick.log" | head -n 10 | tr '\n' ',')
[ "$items" = "English,Francais," ] || e2e_fail "the list held [$items], not English and Francais"
grep -qx "selected=0" "$E2E_WORK/pick.log" || e2e_fail "English (the system's language) was not selected at first"
line=$(recorded_cmdline)
[ -n "$line" ] || e2e_fail "the installer did not run"
case "$line" in
*"TRANSFORMS=1036.mst LANGUAGEID=1036 "*) ;;
*) e2e_fail "no TRANSFORMS=1036.mst LANGUAGEID=1036 in: $line" ;;
esac
case "$line" in
*"COPYPATH=\"$MEDIUM_WIN\\1036\""*) ;;
*) e2e_fail "the copy path is not the medium's 1036 folder: $line" ;;
esac
e2e_log "Francais: $line"

# --- One listed language: no dialog waits -------------------------------------------------
language_medium one_language 1031
e2e_run_setup
e2e_expect_exit 0
line=$(recorded_cmdline)
case "$line" in
*"TRANSFORMS=1031.mst LANGUAGEID=1031 "*) ;;
*) e2e_fail "one listed language (Deutsch): $line" ;;
esac
if grep -qx "$LANGUAGE_CAPTION" <<<"$WINDOWS_SEEN"; then
  e2e_log "the dialog was seen for a moment (it accepts while it starts)"
fi
[ "$SETUP_SECONDS" -lt 20 ] || e2e_fail "one listed language took ${SETUP_SECONDS}s: did a dialog wait?"

# --- Cancel: the installer never runs -----------------------------------------------------
language_medium cancelled 1033 1036
click_button_and_wait_gone "$LANGUAGE_CAPTION" 2 >"$E2E_WORK/cancel.log" 2>&1 &
picker=$!
e2e_run_setup
wait "$picker" || e2e_fail "cancelling failed: $(cat "$E2E_WORK/cancel.log")"
e2e_expect_exit 0
[ ! -e "$MEDIUM_DIR/record.txt" ] || e2e_fail "the installer ran after Cancel: $(recorded_cmdline)"

# --- A SAP medium: the database dialog first, Oracle chosen ------------------------------
e2e_new_medium sap
e2e_add_recording_msiexec
mkdir -p "$MEDIUM_DIR/1033" "$MEDIUM_DIR/1031" "$MEDIUM_DIR/SQL" "$MEDIUM_DIR/Oracle/1033"
e2e_medium_file setup.inf <<'INF'
[Setup]
ProductName=%SAPAGENT%
MSIPKG=agent.msi
[SAP]
SQL=SQL\sapsql.msi
Oracle=Oracle\sapora.msi
INF
catalogue "English 1033" "Deutsch 1031"
pick_oracle() {
  local rects at
  rects=$(dlgpick "$SAP_CAPTION" --checked --rect 1114) || {
    echo "no database dialog: $rects"
    return 1
  }
  echo "$rects"
  if dlgpick "$LANGUAGE_CAPTION" --timeout 0 | grep -qx found; then
    echo "the language dialog is open together with the database dialog"
    return 1
  fi
  sleep 0.5
  shot database_dialog.png
  at=$(centre "$rects" 1114)
  click_at "$at"
  sleep 0.5
  if ! dlgpick "$SAP_CAPTION" --timeout 0 --checked | grep -qx "checked=1114"; then
    echo "the click did not check Oracle; clicking it by message"
    dlgpick "$SAP_CAPTION" --timeout 0 --click 1114 --checked
  fi
  click_button_and_wait_gone "$SAP_CAPTION" 1 || return 1
  # Then the language dialog: OK with the system's language.
  dlgpick "$LANGUAGE_CAPTION" --list || return 1
  click_button_and_wait_gone "$LANGUAGE_CAPTION" 1
}
pick_oracle >"$E2E_WORK/sap.log" 2>&1 &
picker=$!
e2e_run_setup
wait "$picker" || e2e_fail "choosing Oracle failed: $(cat "$E2E_WORK/sap.log")"
e2e_log "picker: $(tr '\n' '|' <"$E2E_WORK/sap.log")"
e2e_expect_exit 0
grep -qx "checked=1113" "$E2E_WORK/sap.log" || e2e_fail "SQL Server was not preselected"
line=$(recorded_cmdline)
case "$line" in
"msiexec.exe /i \"$MEDIUM_WIN\\Oracle\\sapora.msi\" "*"COPYPATH=\"$MEDIUM_WIN\\Oracle\\1033\"") ;;
*) e2e_fail "not the Oracle package with the Oracle copy path: $line" ;;
esac
e2e_log "Oracle: $line"

# --- The wait box -----------------------------------------------------------------------
message="Installing the management database. This may take a few minutes..."
e2e_wine 20 "$WAITBOX_EXE" "$message" 6000 >"$E2E_WORK/waitbox.out" 2>/dev/null &
boxer=$!
e2e_wait_for "the wait box" grep -q "^shown" "$E2E_WORK/waitbox.out" ||
  e2e_fail "no wait box: $(cat "$E2E_WORK/waitbox.out")"
sleep 1
shot wait_box.png
wait "$boxer" || e2e_fail "waitbox.exe failed"
read -r _ size _ at < <(tr -d '\r' <"$E2E_WORK/waitbox.out")
width=${size%x*} height=${size#*x} left=${at%,*} top=${at#*,}
screen=$(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\) .*/\1/p')
sw=${screen%x*} sh=${screen#*x}
[ "$left" = $(((sw - width) / 2)) ] && [ "$top" = $(((sh - height) / 2)) ] ||
  e2e_fail "the wait box ($size at $at) is not centred on the ${screen} screen"
e2e_log "wait box: $size at $at on $screen"
