#!/usr/bin/env bash
# Takes the window screenshots of docs/screenshots/ under Wine in a virtual X display:
# the idle window, the countdown and a running window.
# Needs the windows preset built (cmake --build --preset windows).
# Usage: scripts/screenshots.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/..
out=${1:-$root/docs/screenshots}
build=$root/build/windows
exe=$build/src/ui/win32/velkaro.exe
poke=$build/tests/ui/win32/win32ui_main_window_poke.exe
for f in "$exe" "$poke"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done
mkdir -p "$out"

if [ -z "${VELKARO_IN_XVFB:-}" ]; then
  VELKARO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$out"
fi

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
"$here/wine-session.sh" start
trap '"$here/wine-session.sh" stop >/dev/null' EXIT

"$here/wine-run.sh" "$exe" &
app=$!

# The X window of the form, once it is mapped.
window=""
for _ in $(seq 1 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velkaro[^"]*": \("velkaro.exe"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }

shot() { sleep "$1"; import -window "$window" "$out/$2.png"; echo "wrote $out/$2.png"; }

shot 1.5 idle
"$here/wine-run.sh" "$poke" 5 20
shot 2.2 countdown
shot 4.5 running
# Closing during a run ends the program at once; the trap's stop takes Wine down.
kill "$app" 2>/dev/null || true
