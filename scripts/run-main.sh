#!/usr/bin/env bash
# Sets up the machine, builds the native and Windows programs, and runs the main job:
# a ten-second stress run on every processor with the console front end.
# Arguments, when given, replace the run's options (see velkaro-cli --help).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
for preset in linux windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo
echo "Windows programs: build/windows/src/ui/win32/velkaro.exe (the window)"
echo "                  build/windows/src/cli/velkaro-cli.exe"
echo

if [ $# -eq 0 ]; then
  set -- --pause 0 --time 10 --priority 4 --class 4 --threads "$(nproc)"
fi
exec build/linux/src/cli/velkaro-cli "$@"
