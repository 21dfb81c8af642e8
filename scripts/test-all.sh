#!/usr/bin/env bash
# Sets up the machine, builds the native, sanitizer, Windows and fuzz presets, and runs
# every test: natively, with the sanitizers, the Windows programs under Wine inside a
# virtual X display, and each fuzz target for a short fixed time from its seeds.
# Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh || exit 1

presets=(linux linux-asan windows fuzz)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  log=$(mktemp)
  cmake --preset "$preset" >"$log" 2>&1 || { cat "$log"; exit 1; }
  rm -f "$log"
  cmake --build --preset "$preset" || exit 1
done

failed=0
passed_total=0
failed_total=0
run_ctest() {
  local preset=$1; shift
  local log
  log=$(mktemp)
  echo "== test $preset"
  "$@" ctest --preset "$preset" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total fails
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    fails=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed_total=$((passed_total + total - fails))
    failed_total=$((failed_total + fails))
  fi
  rm -f "$log"
  [ "$rc" -eq 0 ] || failed=1
}

run_ctest linux
run_ctest linux-asan
run_ctest windows xvfb-run -a -s "-screen 0 1280x1024x24"

# Ten seconds per fuzz target, two at a time, from the committed seeds only (a fresh
# working corpus), so that the result never depends on an earlier run; crashes and
# logs stay in build/fuzz/short/.
echo "== fuzz (10 s per target)"
fuzz_corpus=$(mktemp -d)
if bash scripts/fuzz.sh --no-build -t 10 -j 2 -c "$fuzz_corpus" -o build/fuzz/short; then
  fuzz_result="no crash"
else
  fuzz_result="FAILED (see build/fuzz/short/)"
  failed=1
fi
rm -rf "$fuzz_corpus"

echo
echo "fuzz targets: $fuzz_result"
echo "tests: $passed_total passed, $failed_total failed"
exit $failed
