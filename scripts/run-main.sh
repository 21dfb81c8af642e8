#!/usr/bin/env bash
# Sets up the machine, builds the native and Windows programs, and lists what was built.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
for preset in linux windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo
echo "Built:"
find build/linux build/windows -path '*/CMakeFiles' -prune -o -path '*/googletest' -prune -o \
  -type f \( -name '*.exe' -o -perm -u+x \) -newer CMakeLists.txt -print | grep -v wineprefix | sort
