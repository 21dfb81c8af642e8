#!/usr/bin/env bash
# Runs the libFuzzer targets of the fuzz preset (tests/fuzz/), one after another or a
# few at a time, each for a fixed time, from the committed seeds in
# tests/fuzz/corpus/<target>/ plus a working corpus that keeps what the runs found.
#
#   scripts/fuzz.sh [-t SECONDS] [-j PARALLEL] [-c CORPUS_DIR] [-o OUT_DIR] [-u SECONDS]
#                   [-n NICE] [--no-build] [TARGET...]
#
#   -t   time per target (default 1800: the long run)
#   -u   time one input may take before it counts as a hang (default 10)
#   -n   nice value of the targets (default 10; 19 lets them take little from other
#        work beside a long run: then give -u enough for the longest stretch they wait)
#   -j   targets run at the same time (default 1)
#   -c   working corpus folder, one subfolder per target (default build/fuzz/corpus)
#   -o   crashes and logs: OUT_DIR/crashes/<target>-crash-..., OUT_DIR/logs/<target>.log
#        (default build/fuzz)
#   TARGET  any of the targets below (default: all of them)
#
# Every run is niced. Prints each target's last libFuzzer line (execs, cov, ft) and exits
# non-zero when a target found a crash, a leak or a timeout.
set -uo pipefail
cd "$(dirname "$0")/.."

targets_all=(color_text language_file window_place command_line settings_file lang_format
             hex_to_bytes number_readers cli_arguments)
seconds=1800
parallel=1
corpus=build/fuzz/corpus
out=build/fuzz
build=1
unit_timeout=10
nice_value=10
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -t) seconds=$2; shift 2 ;;
    -j) parallel=$2; shift 2 ;;
    -c) corpus=$2; shift 2 ;;
    -o) out=$2; shift 2 ;;
    -u) unit_timeout=$2; shift 2 ;;
    -n) nice_value=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${targets_all[@]}")

if [ "$build" = 1 ]; then
  log=$(mktemp)
  nice -n 10 cmake --preset fuzz >"$log" 2>&1 || { cat "$log"; rm -f "$log"; exit 1; }
  rm -f "$log"
  nice -n 10 cmake --build --preset fuzz || exit 1
fi

mkdir -p "$out/crashes" "$out/logs"
run_one() {
  local target=$1
  local program=build/fuzz/fuzz/fuzz_$target
  [ -x "$program" ] || { echo "$target: no program $program" >&2; return 1; }
  mkdir -p "$corpus/$target"
  # The working corpus comes first: libFuzzer adds new inputs to the first folder only,
  # so the committed seeds stay as they are.
  nice -n "$nice_value" "$program" -max_total_time="$seconds" -timeout="$unit_timeout" -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/crashes/$target-" \
    "$corpus/$target" "tests/fuzz/corpus/$target" >"$out/logs/$target.log" 2>&1
}

failed=0
pids=()
names=()
finish() {
  local i=$1
  if wait "${pids[$i]}"; then
    status=ok
  else
    status=FAILED
    failed=1
  fi
  local last
  last=$(grep -E '^#[0-9]+' "$out/logs/${names[$i]}.log" | tail -n 1)
  echo "${names[$i]}: $status  $last"
  [ "$status" = ok ] || grep -E 'ERROR|SUMMARY|Test unit written' "$out/logs/${names[$i]}.log" | head -n 5
}
for target in "${targets[@]}"; do
  run_one "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    finish 0
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
while [ ${#pids[@]} -gt 0 ]; do
  finish 0
  pids=("${pids[@]:1}")
  names=("${names[@]:1}")
done
exit $failed
