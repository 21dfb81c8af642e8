#!/usr/bin/env bash
# Draws the load shape of each of the seven rhythms from a measured run, for the help
# pages: docs/help/images/rhythm-1.png ... rhythm-7.png.
#
# Each run is velkaro-cli with one thread of normal priority in the normal class for
# 24 seconds; rhythm_chart.py samples the process's processor time every 100 ms and
# draws the busy share per 200 ms as bars and per second as a line into an SVG, which
# ImageMagick turns into a PNG (ImageMagick reads SVG through rsvg-convert, Debian's
# librsvg2-bin). The raw samples of each drawn run stay beside it as rhythm-N.csv.
#
# The runs load one processor each and come one after another. Before each run the
# measurement waits a while for the rest of the machine to be idle; a run disturbed by
# other work is repeated (three runs at most) and the least disturbed one is drawn.
# rhythms-measured.txt beside the pictures keeps one line per rhythm: when it was
# measured and how much other work ran meanwhile. Give rhythm numbers to measure only
# those again; RHYTHM_ATTEMPTS=N allows N runs per rhythm instead of three.
#
#     scripts/rhythm-pictures.sh [-c VELKARO_CLI] [-o OUTPUT_FOLDER] [RHYTHM ...]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=$root/build/linux/src/cli/velkaro-cli
out=$root/docs/help/images
while getopts "c:o:" opt; do
  case $opt in
    c) cli=$OPTARG ;;
    o) out=$OPTARG ;;
    *) echo "usage: $0 [-c VELKARO_CLI] [-o OUTPUT_FOLDER] [RHYTHM ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
rhythms=("$@")
[ ${#rhythms[@]} -gt 0 ] || rhythms=(1 2 3 4 5 6 7)

[ -x "$cli" ] || { echo "rhythm-pictures: no program $cli (build the target velkaro-cli)" >&2; exit 2; }
command -v convert >/dev/null || { echo "rhythm-pictures: convert not found (imagemagick)" >&2; exit 2; }
command -v rsvg-convert >/dev/null ||
  { echo "rhythm-pictures: rsvg-convert not found (librsvg2-bin), ImageMagick needs it for SVG" >&2; exit 2; }

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

log=$out/rhythms-measured.txt
# The head of the log names the machine and the program; the rhythm lines stay.
{
  echo "Measured by scripts/rhythm-pictures.sh (one line per rhythm below)."
  echo "Machine: $(uname -sr), $(nproc) processors, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
  echo "Program: $("$cli" --version)"
  [ -f "$log" ] && grep '^rhythm ' "$log" || true
} > "$work/log" && mv "$work/log" "$log"

failed=()
for r in "${rhythms[@]}"; do
  if python3 "$here/rhythm_chart.py" --cli "$cli" --rhythm "$r" --svg "$work/rhythm-$r.svg" \
       --log "$log" --samples "$out/rhythm-$r.csv" --attempts "${RHYTHM_ATTEMPTS:-3}"; then
    convert -density 96 "$work/rhythm-$r.svg" -strip "PNG8:$out/rhythm-$r.png"
  else
    failed+=("$r")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "rhythm-pictures: not measured: ${failed[*]}" >&2
  exit 1
fi
echo "rhythm-pictures: wrote the pictures of rhythms ${rhythms[*]} in $out"
