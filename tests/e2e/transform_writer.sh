#!/usr/bin/env bash
# A transform from samples/tools/make_transform.py whose strings outgrow the compound file's
# mini stream (more than 4 KB, kept in ordinary sectors) is applied by Wine's msiexec: every
# property it sets, the first and the last, reaches the package. (The sample media's small
# transforms are checked by sample_install.)
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/e2e-lib.sh"
e2e_start_wine
SAMPLE="$(dirname "$SETUP_EXE")/sample-medium"
e2e_require_file sample.msi "$SAMPLE/sample.msi"
e2e_new_medium
cp "$SAMPLE/sample.msi" "$MEDIUM_DIR/"
properties=()
for i in $(seq 100 399); do properties+=("P$i=value of property $i, long enough to fill sectors"); done
python3 "$E2E_ROOT/samples/tools/make_transform.py" "$MEDIUM_DIR/big.mst" --language 1031 \
  LANGUAGENAME=Deutsch "${properties[@]}"
size=$(stat -c %s "$MEDIUM_DIR/big.mst")
[ "$size" -gt 16384 ] || e2e_fail "the transform is only $size bytes: no ordinary sectors used"
e2e_wine "$E2E_TIMEOUT" msiexec /i "$MEDIUM_WIN\\sample.msi" TRANSFORMS=big.mst /qn \
  /l*v "$MEDIUM_WIN\\install.log" >/dev/null 2>&1 || e2e_fail "msiexec failed"
log=$(tr -d '\r' <"$MEDIUM_DIR/install.log")
e2e_wine "$E2E_TIMEOUT" msiexec /x "$MEDIUM_WIN\\sample.msi" /qn >/dev/null 2>&1 || true
for expected in "ProductLanguage = 1031" "LANGUAGENAME = Deutsch" \
  "P100 = value of property 100, long" "P399 = value of property 399, long"; do
  grep -a -q "Property(S): $expected" <<<"$log" || e2e_fail "not applied: $expected"
done
e2e_log "a $size-byte transform applied"
