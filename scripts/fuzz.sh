#!/usr/bin/env bash
# Runs the libFuzzer targets of fuzz/ (preset "fuzz": clang, ASan + UBSan).
#   scripts/fuzz.sh short   each target for FUZZ_SHORT_SECONDS (default 10), as the tests do
#   scripts/fuzz.sh long    each target for FUZZ_LONG_SECONDS (default 600)
# Seeds come from fuzz/corpus/<target>/ and are never written to; what a run finds goes to
# build/fuzz/corpus/<target>/, crashes to build/fuzz/artifacts/. Prints one figure line per
# target and fails when a target found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

TARGETS=(cmdline format block_record strip_backslashes profile log_tail kdb_command guidll)
OUT=build/fuzz

build_targets() {
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j2
}

# Runs one target for SECONDS; prints "<target>: <executions> executions, <crashes>".
run_target() {
  local target=$1 seconds=$2 log rc=0
  log="$OUT/logs/$target.log"
  mkdir -p "$OUT/corpus/$target" "$OUT/artifacts/$target" "$OUT/logs"
  "$OUT/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$OUT/artifacts/$target/" \
    "$OUT/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$rc" = 0 ]; then
    echo "$target: ${runs:-?} executions, no crash"
  else
    echo "$target: ${runs:-?} executions, FAILED (exit $rc, see $log)"
    grep -m3 -E 'ERROR|SUMMARY|deadly' "$log" || true
  fi
  return "$rc"
}

main() {
  local mode=${1:-short} seconds status=0
  case "$mode" in
  short) seconds=${FUZZ_SHORT_SECONDS:-10} ;;
  long) seconds=${FUZZ_LONG_SECONDS:-600} ;;
  *)
    echo "usage: $0 short|long" >&2
    exit 2
    ;;
  esac
  build_targets
  for target in "${TARGETS[@]}"; do
    run_target "$target" "$seconds" || status=1
  done
  exit "$status"
}

main "$@"
