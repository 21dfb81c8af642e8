#!/usr/bin/env bash
# Draws the load shape of each of the seven rhythms from a measured run, for the help
# pages: docs/help/images/rhythm-1.png ... rhythm-7.png.
#
# Each run is velkaro-cli with one thread of normal priority in the normal class for
# 24 seconds; rhythm_chart.py samples the process's processor time every 100 ms and
# draws the busy share per 200 ms as an SVG, which ImageMagick turns into a PNG
# (ImageMagick reads SVG through rsvg-convert, Debian's librsvg2-bin).
#
# The runs load one processor each and come one after another. Before each run the
# measurement waits (up to 10 minutes) until the rest of the machine is idle, and the
# log rhythms-measured.txt beside the pictures says how much other work ran meanwhile.
#
#     scripts/rhythm-pictures.sh [VELKARO_CLI] [OUTPUT_FOLDER]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/linux/src/cli/velkaro-cli}
out=${2:-$root/docs/help/images}

[ -x "$cli" ] || { echo "rhythm-pictures: no program $cli (build the target velkaro-cli)" >&2; exit 2; }
command -v convert >/dev/null || { echo "rhythm-pictures: convert not found (imagemagick)" >&2; exit 2; }
command -v rsvg-convert >/dev/null ||
  { echo "rhythm-pictures: rsvg-convert not found (librsvg2-bin), ImageMagick needs it for SVG" >&2; exit 2; }

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

log=$out/rhythms-measured.txt
{
  echo "Measured by scripts/rhythm-pictures.sh on $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "Machine: $(uname -sr), $(nproc) processors, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  echo "Program: $("$cli" --version)"
} > "$log"

for r in 1 2 3 4 5 6 7; do
  python3 "$here/rhythm_chart.py" --cli "$cli" --rhythm "$r" --svg "$work/rhythm-$r.svg" | tee -a "$log"
  convert -density 96 "$work/rhythm-$r.svg" -strip "PNG8:$out/rhythm-$r.png"
done
echo "rhythm-pictures: wrote $out/rhythm-1.png ... rhythm-7.png"
