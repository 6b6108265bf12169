#!/usr/bin/env bash
# Wine's own msiexec installs the sample package of the sample medium: the launcher exits
# 0, the product's file and registration are there, and the SETUPDIR and COPYPATH that the
# launcher passed reached the package.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
SAMPLE="$(dirname "$SETUP_EXE")/sample-medium"
e2e_require_file sample.msi "$SAMPLE/sample.msi"
MEDIUM_DIR="$(e2e_drive_c)/media/sample"
MEDIUM_WIN='C:\media\sample'
rm -rf "$MEDIUM_DIR" && mkdir -p "$(dirname "$MEDIUM_DIR")" && cp -r "$SAMPLE" "$MEDIUM_DIR"
e2e_wine "$E2E_TIMEOUT" msiexec /x "$MEDIUM_WIN\\sample.msi" /qn >/dev/null 2>&1 || true

e2e_run_setup_answering /q
e2e_expect_exit 0
[ -f "$(e2e_drive_c)/Program Files/Sample Backup Agent/readme.txt" ] || e2e_fail "no product file"
values=$(e2e_wine "$E2E_TIMEOUT" reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Sample' /reg:64 | tr -d '\r')
grep -q 'SetupDir *REG_SZ *C:\\media\\sample\\$' <<<"$values" || e2e_fail "SETUPDIR: $values"
grep -q 'CopyPath *REG_SZ *C:\\media\\sample\\1033$' <<<"$values" || e2e_fail "COPYPATH: $values"
e2e_wine "$E2E_TIMEOUT" reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Products' /v SampleAgent /reg:64 >/dev/null ||
  e2e_fail "the product is not registered"
e2e_wine "$E2E_TIMEOUT" msiexec /x "$MEDIUM_WIN\\sample.msi" /qn >/dev/null 2>&1 || true
