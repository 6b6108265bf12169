#!/usr/bin/env bash
# setup.exe carries its resources: the dialog templates 100, 105 and 107 as the launcher defines
# them, the icons 1, 104 and 106, string 9, the application manifest and the version
# resource, read back from the built file with wrestool (icoutils) and checked by
# tools/check_resources.py. Both builds when the i686 one is there.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
command -v wrestool >/dev/null || e2e_fail "wrestool is missing (icoutils, scripts/install-deps.sh)"
e2e_require_file setup.exe "$SETUP_EXE"
checker="$(dirname "${BASH_SOURCE[0]}")/tools/check_resources.py"
python3 "$checker" "$SETUP_EXE" || e2e_fail "the resources of $SETUP_EXE differ"
if [ -f "$SETUP_EXE_I686" ] && ! [ "$SETUP_EXE_I686" -ef "$SETUP_EXE" ]; then
  python3 "$checker" "$SETUP_EXE_I686" >/dev/null || e2e_fail "the resources of $SETUP_EXE_I686 differ"
  e2e_log "the i686 build's setup.exe carries the same resources"
fi
echo "== manifest of $SETUP_EXE"
wrestool --raw -x -t 24 -n 1 "$SETUP_EXE" | grep -E 'requestedExecutionLevel|Common-Controls|supportedOS|dpiAware'
