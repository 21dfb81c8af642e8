#!/usr/bin/env bash
# start: creates the Wine prefix when it is new and keeps one Wine server alive,
#        so that each later program start is quick.
# stop:  ends that server and every Wine process of the prefix.
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver

case "${1:-}" in
  start)
    mkdir -p "$WINEPREFIX"
    "$server" -p </dev/null >/dev/null 2>&1
    log=$(mktemp)
    if ! "$wine" wineboot --init </dev/null >"$log" 2>&1; then
      cat "$log"; rm -f "$log"; exit 1
    fi
    rm -f "$log"
    # Wine's own Tahoma (Debian's fonts-wine) is not found where
    # the package puts it; in the prefix's font folder every program sees it, and the
    # windows are laid out in the face they were designed for.
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
      cp -n /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
    fi
    echo "wine: prefix $WINEPREFIX ready"
    ;;
  stop)
    "$server" -k </dev/null >/dev/null 2>&1 || true
    echo "wine: server stopped"
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
