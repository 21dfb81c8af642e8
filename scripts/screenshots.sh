#!/usr/bin/env bash
# Takes the window screenshots of docs/screenshots/ under Wine in a virtual X display:
# the idle window, the countdown and a running window.
# Needs the windows preset built (cmake --build --preset windows).
# Usage: scripts/screenshots.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/..
out=${1:-$root/docs/screenshots}
. "$here/screenshot-common.sh"
exe=$build/src/ui/win32/velkaro.exe
poke=$build/tests/ui/win32/win32ui_main_window_poke.exe
shots_require "$exe" "$poke"
shots_start

# The full window during the run: the defaults otherwise compact it.
"$here/wine-run.sh" reg delete 'HKCU\Software\Quenmark\Velkaro' /f >/dev/null 2>&1 || true
for option in Compact AutoPin; do
  "$here/wine-run.sh" reg add 'HKCU\Software\Quenmark\Velkaro' /v "$option" /t REG_DWORD /d 0 /f >/dev/null
done

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

# The window's part of the screen, wider and taller by $3 and $4 pixels for hints
# that stand outside it.
shot() {
  sleep "$1"
  local geometry x y w h
  geometry=$(xwininfo -id "$window")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
  y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
  w=$(awk '/Width:/ {print $2}' <<<"$geometry")
  h=$(awk '/Height:/ {print $2}' <<<"$geometry")
  local wider=${3:-0} taller=${4:-0}
  import -window root -crop "$((w + wider))x$((h + taller))+$x+$y" +repage "$out/$2.png"
  echo "wrote $out/$2.png"
}
poke() { "$here/wine-run.sh" "$poke" "$@"; }

poke park
shot 1.5 idle
poke threads 100001
shot 0.5 warning 220 0
poke threads 1
poke hover
shot 1.5 tooltip 80 80
poke 5 20
shot 2.2 countdown
shot 4.5 running
# Closing during a run ends the program at once; the trap's stop takes Wine down.
kill "$app" 2>/dev/null || true
