# The start that the screenshot scripts share; sourced by them, with `here` (the
# scripts' folder), `root` and `out` set.
build=$root/build/windows

# Stops with a message when one of the programs has not been built.
shots_require() {
  local f
  for f in "$@"; do
    [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
  done
}

# Runs the calling script again inside a virtual X display, unless it runs in one, and
# there starts the project's Wine session, ended with the script.
shots_start() {
  mkdir -p "$out"
  if [ -z "${VELKARO_IN_XVFB:-}" ]; then
    VELKARO_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$out"
  fi
  export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
  "$here/wine-session.sh" start
  trap '"$here/wine-session.sh" stop >/dev/null' EXIT
}
