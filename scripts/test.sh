#!/usr/bin/env bash
# Runs every test: the native behaviour tests (ASan + UBSan) against the simulated machine,
# then, under Wine, the port's contract suite and the end-to-end cases with the real
# setup.exe. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
# win64-tools before the win64 tests: e2e_setupsim_windows runs its setupsim.exe.
bash scripts/build.sh native win32 win64 win64-tools

status=0
bash scripts/fuzz.sh short || status=1
echo "== native tests"
ctest --preset native -j2 || status=1
echo "== Windows tests under Wine (x64 build)"
ctest --preset win64 || status=1
exit $status
