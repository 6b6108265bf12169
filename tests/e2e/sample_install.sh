#!/usr/bin/env bash
# Wine's own msiexec installs the sample package of the sample medium, in English and then
# in French: the launcher exits 0, the product's file and registration are there, the
# SETUPDIR, COPYPATH and LANGUAGEID that the launcher passed reached the package, and the
# language transform it named (built by samples/tools/make_transform.py) was applied: its
# ProductLanguage, LANGUAGENAME and ProductName are the package's properties. The SAP
# sample medium installs its SQL Server package the same way.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
SAMPLE="$(dirname "$SETUP_EXE")/sample-medium"
e2e_require_file sample.msi "$SAMPLE/sample.msi"
e2e_require_file 1036.mst "$SAMPLE/1036.mst"
MEDIUM_DIR="$(e2e_drive_c)/media/sample"
MEDIUM_WIN='C:\media\sample'
rm -rf "$MEDIUM_DIR" && mkdir -p "$(dirname "$MEDIUM_DIR")" && cp -r "$SAMPLE" "$MEDIUM_DIR"
TEMP_WIN=$(e2e_temp_win)
INSTALL_LOG=$(e2e_wine "$E2E_TIMEOUT" winepath -u "$TEMP_WIN\\sample-install.log" | tr -d '\r\n')
uninstall() {
  e2e_wine "$E2E_TIMEOUT" msiexec /x "$MEDIUM_WIN\\sample.msi" /qn >/dev/null 2>&1 || true
}
uninstall

# install LANGUAGE-ID LANGUAGE-NAME PRODUCT-NAME: an unattended install in that language.
install() {
  local id=$1 name=$2 product=$3 values
  printf '[Install]\r\nLanguageID=%s\r\n' "$id" >"$MEDIUM_DIR/setup.icf"
  rm -f "$INSTALL_LOG"
  e2e_run_setup_answering /q
  e2e_expect_exit 0
  [ -f "$(e2e_drive_c)/Program Files/Sample Backup Agent/readme.txt" ] || e2e_fail "$id: no product file"
  values=$(e2e_wine "$E2E_TIMEOUT" reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Sample' /reg:64 | tr -d '\r')
  grep -q 'SetupDir *REG_SZ *C:\\media\\sample\\$' <<<"$values" || e2e_fail "$id: SETUPDIR: $values"
  grep -q "CopyPath *REG_SZ *C:\\\\media\\\\sample\\\\$id\$" <<<"$values" || e2e_fail "$id: COPYPATH: $values"
  grep -q "LanguageId *REG_SZ *$id\$" <<<"$values" || e2e_fail "$id: LANGUAGEID: $values"
  grep -q "ProductLanguage *REG_SZ *$id\$" <<<"$values" || e2e_fail "$id: transform not applied: $values"
  grep -q "LanguageName *REG_SZ *$name\$" <<<"$values" || e2e_fail "$id: transform not applied: $values"
  grep -a -q "TRANSFORMS = $id.mst" "$INSTALL_LOG" || e2e_fail "$id: no TRANSFORMS=$id.mst in the installer log"
  grep -a -q "ProductName = $product" "$INSTALL_LOG" || e2e_fail "$id: the installer's ProductName is not $product"
  e2e_wine "$E2E_TIMEOUT" reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\Products' /v SampleAgent /reg:64 >/dev/null ||
    e2e_fail "$id: the product is not registered"
  uninstall
  e2e_log "installed in $id with its transform: $name, $product"
}

install 1033 English "Sample Backup Agent"
install 1036 Francais "Agent de sauvegarde exemple"

# The SAP sample medium: an unattended run installs its SQL Server package, whose transform
# lies beside it in SQL\.
SAP="$(dirname "$SETUP_EXE")/sap-medium"
e2e_require_file sapsql.msi "$SAP/SQL/sapsql.msi"
MEDIUM_DIR="$(e2e_drive_c)/media/sap"
MEDIUM_WIN='C:\media\sap'
rm -rf "$MEDIUM_DIR" && cp -r "$SAP" "$MEDIUM_DIR"
e2e_run_setup_answering /q
e2e_expect_exit 0
values=$(e2e_wine "$E2E_TIMEOUT" reg query 'HKLM\SOFTWARE\Quorvane\Norvale Tessmark\SampleSAP' /reg:64 | tr -d '\r')
grep -q 'Database *REG_SZ *SQL Server$' <<<"$values" || e2e_fail "SAP: not the SQL Server package: $values"
grep -q 'LanguageName *REG_SZ *English$' <<<"$values" || e2e_fail "SAP: transform not applied: $values"
e2e_wine "$E2E_TIMEOUT" msiexec /x "$MEDIUM_WIN\\SQL\\sapsql.msi" /qn >/dev/null 2>&1 || true
e2e_log "the SAP medium installed its SQL Server package with its transform"
