#!/usr/bin/env bash
# Takes the screenshots of the dialogs, menus and window modes of docs/screenshots/
# under Wine in a virtual X display: the template dialog, the open templates submenu,
# the About box, the compact window during a run and two clones side by side.
# Needs the windows preset built (cmake --build --preset windows).
# Usage: scripts/dialog-screenshots.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/..
out=${1:-$root/docs/screenshots}
. "$here/screenshot-common.sh"
exe=$build/src/ui/win32/velkaro.exe
cli=$build/src/cli/velkaro-cli.exe
poke=$build/tests/ui/win32/win32ui_main_window_poke.exe
shots_require "$exe" "$cli" "$poke"
shots_start

# The defaults (compact window and automatic pinning ticked), and a few templates,
# saved the way a script would save them.
"$here/wine-run.sh" reg delete 'HKCU\Software\Quenmark\Velkaro' /f >/dev/null 2>&1 || true
"$here/wine-run.sh" "$cli" --save-template "Quick check" -p 0 -t 30 -n 2 >/dev/null
"$here/wine-run.sh" "$cli" --save-template "Overnight soak" -p 10 -t 28800 -r 4 -n 8 >/dev/null
"$here/wine-run.sh" "$cli" --save-template "Thermal steps" -p 3 -t 600 -r 7 -n 4 >/dev/null

"$here/wine-run.sh" "$exe" &
app=$!
window=""
for _ in $(seq 1 150); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velkaro[^"]*": \("velkaro.exe"/ {print $1; exit}')
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
geometry=$(xwininfo -id "$window")
wx=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
wy=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
ww=$(awk '/Width:/ {print $2}' <<<"$geometry")
wh=$(awk '/Height:/ {print $2}' <<<"$geometry")

poke() { "$here/wine-run.sh" "$poke" "$@"; }
# A part of the screen around the window: $2 more pixels to the right, $3 below.
shot() {
  sleep "$1"
  import -window root -crop "$((ww + $3))x$((wh + $4))+$wx+$wy" +repage "$out/$2.png"
  echo "wrote $out/$2.png"
}
# The screen's part that the top-level window titled $2 covers.
shot_window() {
  sleep "$1"
  local id g
  id=""
  for _ in $(seq 1 20); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$2\"" 'index($0, t) {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window \"$2\"" >&2; return 1; }
  g=$(xwininfo -id "$id")
  import -window root -crop "$(awk '/Width:/ {print $2}' <<<"$g")x$(awk '/Height:/ {print $2}' <<<"$g")+$(awk '/Absolute upper-left X/ {print $4}' <<<"$g")+$(awk '/Absolute upper-left Y/ {print $4}' <<<"$g")" +repage "$out/$3.png"
  echo "wrote $out/$3.png"
}

poke park
# Settings > Stress templates, opened from the keyboard.
poke menu s
sleep 0.5
poke key 39  # Right: the first item is the templates' submenu
shot 1 templates-menu 200 40
# Out of the submenu, out of the menu, and out of the menu bar.
for _ in 1 2 3; do poke key 27; sleep 0.2; done
sleep 0.5
poke command 1012
shot_window 1.5 "About" about
poke key 27
sleep 0.5
# The save dialog, offering the latest template's name.
poke command 1003
shot_window 1.5 "Save the stress template ..." template-dialog
poke key 27
sleep 0.5
# A clone beside the window (F5), both idle.
poke key 116
sleep 4
import -window root -crop "$((ww + 60))x$((wh + 60))+$wx+$wy" +repage "$out/clones.png"
echo "wrote $out/clones.png"
# The compact window during a run: start it and take the screen around its corner.
poke 1 12
sleep 3
compact=$(xwininfo -root -tree 2>/dev/null | awk '/"CPU STRESSING!!!": \("velkaro.exe"/ {print $1; exit}')
if [ -n "$compact" ]; then
  g=$(xwininfo -id "$compact")
  import -window root -crop "$(awk '/Width:/ {print $2}' <<<"$g")x$(awk '/Height:/ {print $2}' <<<"$g")+$(awk '/Absolute upper-left X/ {print $4}' <<<"$g")+$(awk '/Absolute upper-left Y/ {print $4}' <<<"$g")" +repage "$out/compact.png"
  echo "wrote $out/compact.png"
fi
# Closing during a run ends the program at once; the trap's stop takes Wine down.
kill "$app" 2>/dev/null || true
