#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Quick when everything is already there.
set -euo pipefail

packages=(
  # native build and unit tests
  cmake ninja-build pkg-config clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libgdk-pixbuf-2.0-dev libjpeg62-turbo-dev libexif-dev
  # Windows builds
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # running the Windows build and the end-to-end tests
  wine wine64 xvfb xdotool imagemagick python3 python3-pytest python3-pil file
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
