#!/usr/bin/env python3
"""stress-ng on the same machine as the engine's benchmarks, measured the same way.

    bench/stress_ng_side_by_side.py [--counts 2,100,1000,4000] [--hold 3] [--load-seconds 20]

For each count: `stress-ng --cpu N` (one process per instance). Prints the time from the
start until every instance has run (its utime + stime in /proc is above zero; stress-ng
starts its instances itself), how many instances were running or ready then, the memory
per instance (proportional set size from /proc/PID/smaps_rollup, and resident size), and
after `--hold` seconds the time from SIGINT to the stress-ng parent to the exit of its
last instance and to the parent's own exit. Then `stress-ng --cpu 1 --cpu-load 50` for
`--load-seconds`: its processor time over the wall time, against the 50 % it asks for
(bench_shape measures the comb rhythm the same way).
"""
import argparse
import os
import signal
import subprocess
import sys
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def children_of(parent):
    """The processes whose parent is `parent`: {pid: (state, cpu ticks)}."""
    found = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat") as stat:
                text = stat.read()
        except OSError:
            continue
        fields = text[text.rindex(")") + 2:].split()
        if int(fields[1]) != parent:
            continue
        found[int(name)] = (fields[0], int(fields[11]) + int(fields[12]))
    return found


def memory_kib(pids):
    """Summed Pss and Rss in KiB."""
    pss = rss = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        pss += int(line.split()[1])
                    elif line.startswith("Rss:"):
                        rss += int(line.split()[1])
        except OSError:
            pass
    return pss, rss


def ordinary_scheduling():
    """In the child: back to the ordinary policy that this measuring process left."""
    os.sched_setscheduler(0, os.SCHED_OTHER, os.sched_param(0))


def measure_count(count, hold_s):
    start = time.monotonic()
    parent = subprocess.Popen(["stress-ng", "--cpu", str(count), "--timeout", "120s", "--quiet"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              preexec_fn=ordinary_scheduling)
    all_ran = None
    ready = 0
    while time.monotonic() - start < 60:
        children = children_of(parent.pid)
        ran = sum(1 for state, ticks in children.values() if ticks > 0)
        if len(children) >= count and ran >= count:
            all_ran = time.monotonic() - start
            ready = sum(1 for state, _ in children.values() if state == "R")
            break
        time.sleep(0.01)
    children = children_of(parent.pid)
    pss, rss = memory_kib(children)
    time.sleep(hold_s)
    children = children_of(parent.pid)
    stop = time.monotonic()
    parent.send_signal(signal.SIGINT)
    last_instance = None
    while True:
        if last_instance is None and not children_of(parent.pid):
            last_instance = time.monotonic() - stop
        if parent.poll() is not None:
            break
        time.sleep(0.005)
    parent_exit = time.monotonic() - stop
    if last_instance is None:
        last_instance = parent_exit
    instances = max(1, len(children))
    print(f"| {count:6d} | {len(children):9d} | "
          f"{('%.0f' % (all_ran * 1000)) if all_ran is not None else 'not within 60 s':>11} | {ready:8d} | "
          f"{pss / instances:9.0f} | {rss / instances:9.0f} | {last_instance * 1000:9.0f} | "
          f"{parent_exit * 1000:9.0f} |", flush=True)


def measure_load(seconds):
    before = os.times()
    start = time.monotonic()
    subprocess.run(["stress-ng", "--cpu", "1", "--cpu-load", "50", "--timeout", f"{seconds}s", "--quiet"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False,
                   preexec_fn=ordinary_scheduling)
    wall = time.monotonic() - start
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    share = 100.0 * cpu / wall
    print(f"| --cpu 1 --cpu-load 50 | {seconds * 1000:7d} | {wall * 1000:7.0f} | {share:6.2f} % | 50.0 % | "
          f"{share - 50.0:+6.2f} |", flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--counts", default="2,100,1000,4000")
    parser.add_argument("--hold", type=float, default=3.0)
    parser.add_argument("--load-seconds", type=int, default=20)
    args = parser.parse_args()
    # Like bench_scale's measuring thread: above the instances where the system allows it
    # (as root), so that what it reads is not delayed by them.
    try:
        os.sched_setscheduler(0, os.SCHED_FIFO, os.sched_param(1))
        raised = "yes"
    except PermissionError:
        raised = "no"
    version = subprocess.run(["stress-ng", "--version"], capture_output=True, text=True).stdout.strip()
    print(f"# stress_ng_side_by_side: {version}; {os.cpu_count()} processors; measuring above the instances: {raised}")
    print("# all ran: start -> every instance has used processor time (from /proc); ready:")
    print("# instances running or ready at that moment; KiB per instance: Pss and Rss from")
    print("# smaps_rollup; last instance / parent: SIGINT -> the last instance gone / stress-ng exited")
    print("| instances | processes | all ran ms | ready | Pss KiB | Rss KiB | last instance ms | parent ms |")
    print("|---|---|---|---|---|---|---|---|")
    for count in (int(text) for text in args.counts.split(",")):
        measure_count(count, args.hold)
    print("\n| run | time ms | wall ms | processor share | asked | points |")
    print("|---|---|---|---|---|---|")
    measure_load(args.load_seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main())
