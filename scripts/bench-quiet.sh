#!/usr/bin/env bash
# Runs one benchmark so that the machine's other work takes as little from it as Linux
# allows without changing the benchmark's own threads: the benchmark gets a session of
# its own whose scheduling group has nice -10 (as root), every other session's group is
# set to nice 19, and the load average and the busiest other programs are printed
# before and after.
#
#   scripts/bench-quiet.sh PROGRAM [ARGUMENT...]
#
# Linux gives each session a scheduling group (autogroup) of equal weight, whatever the
# nice values of the threads inside it, so a build started from another terminal at
# nice 15 still takes half of a processor from a benchmark. The groups' nice values
# (/proc/PID/autogroup) set their weights instead.
set -u
show_load() {
  echo "# $1: $(date -u +%H:%M:%S) UTC, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  ps -eo pcpu=,ni=,comm= --sort=-pcpu | head -n 4 | sed 's/^/#   /'
}
if [ "$(id -u)" = 0 ]; then
  for group in /proc/[0-9]*/autogroup; do
    echo 19 >"$group" 2>/dev/null
  done
fi
show_load before
setsid --wait bash -c 'echo -10 >/proc/self/autogroup 2>/dev/null; exec "$@"' bench "$@"
status=$?
show_load after
exit $status
