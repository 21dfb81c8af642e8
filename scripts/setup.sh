#!/usr/bin/env bash
# Installs everything the project needs from Debian's packages.
# Idempotent: when every package is already present it changes nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev googletest libcli11-dev nlohmann-json3-dev locales
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 fonts-wine xvfb xauth imagemagick x11-utils fp-utils groff-base libxml2-utils
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
