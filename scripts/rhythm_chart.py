#!/usr/bin/env python3
"""Measures the load shape of one rhythm and draws it as an SVG bar chart.

Starts velkaro-cli with one stress thread in the given rhythm, reads the process's
processor time (utime + stime of /proc/PID/stat) every 100 ms while it runs, and
draws the busy share of one processor per time bin. Standard library only.

    rhythm_chart.py --cli build/linux/src/cli/velkaro-cli --rhythm 5 --svg out.svg

Before each run it waits (for a while) until the rest of the machine is idle. A run
during which other processes used more than --max-others processors is repeated, up
to --attempts times, and the run with the least other work on average is drawn: a picture drawn under
other load shows that load too. The printed line, and with --log one line per rhythm
in that file, says how much other work ran meanwhile.
"""

import argparse
import datetime
import os
import subprocess
import sys
import time

RHYTHMS = {
    1: '1 - Monotonous constant CPU loading',
    2: '2 - Slightly broken rhythm',
    3: '3 - Quite broken rhythm',
    4: '4 - Rhythm "Roller Coaster"',
    5: '5 - Rhythm "Comb"',
    6: '6 - Rhythm "Long Comb"',
    7: '7 - Rhythm "Down-Up"',
}


def read_cpu_ticks(pid):
    """utime + stime of the whole process in clock ticks, or None once it is gone."""
    try:
        with open('/proc/%d/stat' % pid, 'rb') as f:
            text = f.read().decode('ascii', 'replace')
    except OSError:
        return None
    # The command name in parentheses may hold blanks: the fields start after ')'.
    fields = text[text.rindex(')') + 2:].split()
    if fields[0] in ('Z', 'X'):
        return None
    return int(fields[11]) + int(fields[12])  # fields 14 and 15 of proc(5)


def system_busy():
    """Busy seconds of all processors together since boot, from /proc/stat."""
    with open('/proc/stat') as f:
        values = [int(v) for v in f.readline().split()[1:]]
    idle = values[3] + (values[4] if len(values) > 4 else 0)  # idle + iowait
    return (sum(values[:8]) - idle) / os.sysconf('SC_CLK_TCK')


def wait_quiet(limit, max_wait):
    """Waits until other work uses less than `limit` processors; False on timeout."""
    deadline = time.monotonic() + max_wait
    while True:
        before = system_busy()
        time.sleep(2.0)
        if (system_busy() - before) / 2.0 < limit:
            return True
        if time.monotonic() > deadline:
            return False
        time.sleep(3.0)


def measure(cli, rhythm, seconds, interval):
    """Runs the program; returns [(seconds since start, busy seconds)], the exit code."""
    tick = os.sysconf('SC_CLK_TCK')
    args = [cli, '-n', '1', '-p', '0', '-t', str(seconds), '-r', str(rhythm),
            '-P', '4', '-c', '4', '--json']
    t0 = time.monotonic()
    proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    samples = [(0.0, 0.0)]
    system = [system_busy()]
    next_at = t0 + interval
    while True:
        delay = next_at - time.monotonic()
        if delay > 0:
            time.sleep(delay)
        next_at += interval
        ticks = read_cpu_ticks(proc.pid)
        if ticks is None:
            break
        samples.append((time.monotonic() - t0, ticks / tick))
        system.append(system_busy())
    return samples, system, proc.wait()


def others_peak(samples, system, window=10):
    """The most processors that other work used in any `window` samples of the run."""
    peak = 0.0
    for i in range(len(samples) - window):
        j = i + window
        dt = samples[j][0] - samples[i][0]
        own = samples[j][1] - samples[i][1]
        peak = max(peak, ((system[j] - system[i]) - own) / dt)
    return peak


def busy_at(samples, t):
    """Busy seconds at time t, linear between the samples."""
    for (ta, ca), (tb, cb) in zip(samples, samples[1:]):
        if ta <= t <= tb:
            return ca if tb == ta else ca + (cb - ca) * (t - ta) / (tb - ta)
    return samples[-1][1]


def bins(samples, width, seconds):
    """Busy share 0..100 % of each bin of `width` seconds within the run."""
    end = min(seconds, samples[-1][0])
    result = []
    start = 0.0
    while start + width <= end + 1e-9:
        share = (busy_at(samples, start + width) - busy_at(samples, start)) / width
        result.append(max(0.0, min(100.0, share * 100.0)))
        start += width
    return result


def svg(title, note, shares, width, seconds, per_second):
    w, h = 720, 270
    left, right, top, bottom = 52, 16, 34, 46
    pw, ph = w - left - right, h - top - bottom
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
           'viewBox="0 0 %d %d">' % (w, h, w, h),
           '<rect x="0" y="0" width="%d" height="%d" fill="#ffffff"/>' % (w, h),
           '<g font-family="DejaVu Sans, Verdana, sans-serif" font-size="12" fill="#202020">',
           '<text x="%d" y="20" font-size="14" font-weight="bold">%s</text>'
           % (left, escape(title))]
    for pct in (0, 25, 50, 75, 100):
        y = top + ph - ph * pct / 100.0
        out.append('<line x1="%d" y1="%.1f" x2="%d" y2="%.1f" stroke="%s" stroke-width="1"/>'
                   % (left, y, left + pw, y, '#606060' if pct == 0 else '#d8d8d8'))
        out.append('<text x="%d" y="%.1f" text-anchor="end">%d %%</text>'
                   % (left - 6, y + 4, pct))
    scale = pw / float(seconds)
    for i, share in enumerate(shares):
        x = left + i * width * scale
        bh = ph * share / 100.0
        out.append('<rect x="%.2f" y="%.2f" width="%.2f" height="%.2f" fill="#2e8b3e"/>'
                   % (x + 0.5, top + ph - bh, width * scale - 1.0, bh))
    # The share per whole second, as Velkaro's own readout and chart show it.
    points = []
    for i, share in enumerate(per_second):
        y = top + ph - ph * share / 100.0
        points.append('%.1f,%.1f %.1f,%.1f' % (left + i * scale, y, left + (i + 1) * scale, y))
    out.append('<polyline points="%s" fill="none" stroke="#d9480f" stroke-width="2"/>'
               % ' '.join(points))
    out.append('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="#606060" stroke-width="1"/>'
               % (left, top, left, top + ph))
    out.append('<rect x="%d" y="10" width="12" height="10" fill="#2e8b3e"/>' % (left + pw - 300))
    out.append('<text x="%d" y="19">per %d ms</text>' % (left + pw - 284, round(width * 1000)))
    out.append('<line x1="%d" y1="15" x2="%d" y2="15" stroke="#d9480f" stroke-width="2"/>'
               % (left + pw - 180, left + pw - 166))
    out.append('<text x="%d" y="19">per second</text>' % (left + pw - 160))
    for s in range(0, int(seconds) + 1, 2):
        x = left + s * scale
        out.append('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#606060"/>'
                   % (x, top + ph, x, top + ph + 4))
        out.append('<text x="%.1f" y="%d" text-anchor="middle">%d</text>'
                   % (x, top + ph + 17, s))
    out.append('<text x="%d" y="%d" text-anchor="end">time, s</text>' % (left + pw, h - 6))
    out.append('<text x="%d" y="%d" fill="#606060">%s</text>' % (left, h - 6, escape(note)))
    out.append('</g></svg>')
    return '\n'.join(out) + '\n'


def escape(text):
    return text.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--cli', required=True, help='path of velkaro-cli')
    parser.add_argument('--rhythm', type=int, required=True, choices=sorted(RHYTHMS))
    parser.add_argument('--svg', required=True, help='SVG file to write')
    parser.add_argument('--time', type=int, default=24, help='run duration, seconds')
    parser.add_argument('--bin', type=float, default=0.2, help='bin width, seconds')
    parser.add_argument('--wait-quiet', type=float, default=30,
                        help='seconds to wait at most for an idle machine before a run')
    parser.add_argument('--log', help='file that keeps one line per measured rhythm')
    parser.add_argument('--max-others', type=float, default=0.3,
                        help='processors that other work may use in any second of a clean run')
    parser.add_argument('--attempts', type=int, default=3, help='runs to try at most')
    parser.add_argument('--samples', help='CSV file for the raw samples of the drawn run')
    args = parser.parse_args()

    best = None
    for attempt in range(1, args.attempts + 1):
        wait_quiet(0.1, args.wait_quiet)
        when = datetime.datetime.now(datetime.timezone.utc).strftime('%Y-%m-%d %H:%M UTC')
        samples, system, code = measure(args.cli, args.rhythm, args.time, 0.1)
        if code != 0:
            sys.exit('velkaro-cli ended with exit code %d' % code)
        # What the rest of the machine did meanwhile, in processors: on average, and
        # at most during one second.
        others = max(0.0, ((system[-1] - system[0]) - samples[-1][1]) / samples[-1][0])
        peak = others_peak(samples, system)
        if best is None or others < best[0]:
            best = (others, peak, when, samples)
        if peak <= args.max_others:
            break
        print('rhythm %d: attempt %d disturbed, other processes used up to %.2f processors'
              % (args.rhythm, attempt, peak), file=sys.stderr)
    others, peak, when, samples = best
    shares = bins(samples, args.bin, args.time)
    if not shares:
        sys.exit('no samples: the run ended at once')
    note = ('velkaro-cli -n 1 -p 0 -t %d -r %d -P 4 -c 4; busy share of one processor'
            % (args.time, args.rhythm))
    with open(args.svg, 'w', encoding='utf-8') as f:
        f.write(svg(RHYTHMS[args.rhythm], note, shares, args.bin, args.time,
                    bins(samples, 1.0, args.time)))
    if args.samples:
        with open(args.samples, 'w', encoding='utf-8') as f:
            f.write('# %s; seconds since start, busy seconds of the process\n' % note)
            for t, busy in samples:
                f.write('%.3f,%.2f\n' % (t, busy))
    mean = sum(shares) / len(shares)
    line = ('rhythm %d: %s, %d bins, mean %.1f %%, min %.0f %%, max %.0f %%; other '
            'processes used %.2f processors meanwhile, at most %.2f during a second'
            % (args.rhythm, when, len(shares), mean, min(shares), max(shares),
               others, peak))
    print(line)
    if args.log:
        update_log(args.log, args.rhythm, line)


def update_log(path, rhythm, line):
    """Replaces the line of this rhythm in the log, or adds it; lines stay in order."""
    try:
        with open(path, encoding='utf-8') as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        lines = []
    tag = 'rhythm %d:' % rhythm
    lines = [l for l in lines if not l.startswith(tag)] + [line]
    head = [l for l in lines if not l.startswith('rhythm ')]
    body = sorted((l for l in lines if l.startswith('rhythm ')),
                  key=lambda l: int(l.split()[1].rstrip(':')))
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(head + body) + '\n')


if __name__ == '__main__':
    main()
