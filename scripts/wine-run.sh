#!/usr/bin/env bash
# Runs a Windows program under Wine for the build and the tests.
# Wine's background services inherit the standard handles of the process that
# started them, so the program's output goes through a file, never a pipe, and
# standard input is /dev/null.
set -u
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64

out=$(mktemp)
"$wine" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
