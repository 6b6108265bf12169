#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix; CTest uses it as the emulator
# of the Windows builds. The exit code is the program's, cut to 8 bits by Wine.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" ""
wine_exe "$@"
