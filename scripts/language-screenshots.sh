#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots/languages/: the idle window, title bar
# included, in English and in each shipped language (CODE.png), and with the longest
# items of its lists chosen (CODE-long.png), under Wine in a virtual X display.
# Wine's own desktop gives the window its frame and title, which a bare X display lacks.
# Needs the windows preset built (cmake --build --preset windows).
# Usage: scripts/language-screenshots.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$here/..
out=${1:-$root/docs/screenshots/languages}
. "$here/screenshot-common.sh"
exe=$build/src/ui/win32/velkaro.exe
poke=$build/tests/ui/win32/win32ui_main_window_poke.exe
shots_require "$exe" "$poke"
# English first, then the files beside the program.
codes="en $(cd "$build/src/ui/win32/Langs" && ls -- *.lng | sed 's/\.lng$//' | tr '\n' ' ')"
shots_start

# The window starts in English with the default run, whatever an earlier run chose.
"$here/wine-run.sh" reg delete 'HKCU\Software\Quenmark\Velkaro' /f >/dev/null 2>&1 || true

desktop_name=velkaro-languages
# Explorer starts a program by its Windows path (the Linux file system is drive Z:)
# inside the desktop; the poke goes there too, as windows of another desktop are not
# found.
windows_path() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
in_desktop() { "$here/wine-run.sh" explorer "/desktop=$desktop_name,640x420" "$@"; }
poke() { in_desktop "$(windows_path "$poke")" "$@" >/dev/null; }
in_desktop "$(windows_path "$exe")" &
app=$!

# The form's frame, title bar included, as X sees it: the largest named window of the
# program (its menus and lists are unnamed, its IME window is 1 by 1).
geometry() {
  xwininfo -root -tree 2>/dev/null | awk '/\("velkaro.exe" "velkaro.exe"\)/ && !/"Default IME"/ && !/\(has no name\)/ {
    for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, s, /[x+]/); abs = $(i + 1) }
    if (s[1] * s[2] > best) { best = s[1] * s[2]; split(abs, a, /\+/); out = s[1] "x" s[2] "+" a[2] "+" a[3] }
  } END { if (out != "") print out }'
}
for _ in $(seq 1 150); do
  [ -n "$(geometry)" ] && break
  sleep 0.2
done
[ -n "$(geometry)" ] || { echo "the window did not appear" >&2; exit 1; }

shot() {
  import -window root -crop "$(geometry)" +repage "$out/$1.png"
  echo "wrote $out/$1.png"
}

# The run settings arrive after the first show.
sleep 2
poke park
for code in $codes; do
  poke language "$code"
  # The texts change at once; the wait is for the screen.
  sleep 1.2
  shot "$code"
  # The longest items of the three lists, then the form's defaults again.
  poke select 114 6
  poke select 115 5
  poke select 116 3
  sleep 0.8
  shot "$code-long"
  poke select 114 5
  poke select 115 3
  poke select 116 0
done
# Back to English, so that the prefix's settings choose no language.
poke language en
sleep 0.5
kill "$app" 2>/dev/null || true
