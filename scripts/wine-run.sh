#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix; CTest uses it as the emulator
# of the Windows builds. The exit code is the program's, cut to 8 bits by Wine.
# The prefix's Wine server is stopped afterwards: a server left running would hold the
# caller's output open, and CTest would wait for it.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" ""
wine_exe "$@"
rc=$?
wineserver -k >/dev/null 2>&1 || true
exit $rc
