#!/usr/bin/env python3
"""Measures the load shape of one rhythm and draws it as an SVG bar chart.

Starts velkaro-cli with one stress thread in the given rhythm, reads the process's
processor time (utime + stime of /proc/PID/stat) every 100 ms while it runs, and
draws the busy share of one processor per time bin. Standard library only.

    rhythm_chart.py --cli build/linux/src/cli/velkaro-cli --rhythm 5 --svg out.svg
"""

import argparse
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
    return samples, proc.wait()


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


def svg(title, note, shares, width, seconds):
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
    out.append('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="#606060" stroke-width="1"/>'
               % (left, top, left, top + ph))
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
    parser.add_argument('--wait-quiet', type=float, default=600,
                        help='seconds to wait at most for an idle machine before the run')
    args = parser.parse_args()

    quiet = wait_quiet(0.1, args.wait_quiet)
    busy0, t0 = system_busy(), time.monotonic()
    samples, code = measure(args.cli, args.rhythm, args.time, 0.1)
    # What the rest of the machine did meanwhile, in processors.
    others = ((system_busy() - busy0) - samples[-1][1]) / (time.monotonic() - t0)
    if code != 0:
        sys.exit('velkaro-cli ended with exit code %d' % code)
    shares = bins(samples, args.bin, args.time)
    if not shares:
        sys.exit('no samples: the run ended at once')
    note = ('velkaro-cli -n 1 -p 0 -t %d -r %d -P 4 -c 4; busy share of one processor '
            'per %d ms' % (args.time, args.rhythm, round(args.bin * 1000)))
    with open(args.svg, 'w', encoding='utf-8') as f:
        f.write(svg(RHYTHMS[args.rhythm], note, shares, args.bin, args.time))
    mean = sum(shares) / len(shares)
    print('rhythm %d: %d bins, mean %.1f %%, min %.0f %%, max %.0f %%; other processes '
          'used %.2f processors meanwhile%s'
          % (args.rhythm, len(shares), mean, min(shares), max(shares), max(0.0, others),
             '' if quiet else ' (the machine was not idle before the run)'))


if __name__ == '__main__':
    main()
