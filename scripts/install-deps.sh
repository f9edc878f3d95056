#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need,
# with Wine's 32-bit side (wine32:i386) for running the 32-bit build where the
# machine allows it. Quick when everything is already there.
set -euo pipefail

packages=(
  # native build and unit tests
  cmake ninja-build pkg-config clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
  libgdk-pixbuf-2.0-dev libjpeg62-turbo-dev
  # gdk-pixbuf's WebP and HEIF/AVIF modules: the test backend decodes the
  # phone formats the Windows program takes where Windows has their decoders
  webp-pixbuf-loader heif-gdk-pixbuf
  # Windows builds
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  # the installer packages (wixl) and reading them back in the tests (msiinfo)
  wixl msitools
  # running the Windows build and the end-to-end tests
  wine wine64 xvfb xdotool imagemagick python3 python3-pytest python3-pil file
  # Wine's own faces ("MS Sans Serif", Tahoma): without them Wine draws the
  # dialog's labels in a wider face and cuts them
  fonts-wine
  # reads a caption's text off a screenshot in the end-to-end tests
  tesseract-ocr
  # a second X server kind with two monitors (the dummy driver and xrandr),
  # for the end-to-end tests of the saver on several monitors
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
)

# Wine's 32-bit side, which runs the 32-bit build in the same Wine prefix
# as the 64-bit one. Only where the kernel runs 32-bit programs and dpkg
# takes the i386 architecture; elsewhere the end-to-end tests run on the
# 64-bit build alone.
wine32_package=wine32:i386

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

if ! installed "$wine32_package"; then
  not_run="the 32-bit build is not run end to end"
  if [[ $(dpkg --print-architecture) != amd64 ]]; then
    echo "Not installing $wine32_package: dpkg's architecture is $(dpkg --print-architecture), not amd64; $not_run."
  elif ! reason=$("$(dirname "$0")/runs-32-bit.sh"); then
    echo "Not installing $wine32_package: $reason; $not_run."
  elif ! dpkg --print-foreign-architectures | grep -qx i386 &&
       ! "${sudo_cmd[@]}" dpkg --add-architecture i386; then
    echo "Not installing $wine32_package: dpkg does not take the i386 architecture; $not_run."
  else
    missing+=("$wine32_package")
  fi
fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  # A mirror caught mid-sync fails the update now and then; try again, and
  # go on with the indexes there are if it keeps failing (the install below
  # says clearly what it could not find).
  for attempt in 1 2 3; do
    "${sudo_cmd[@]}" apt-get update -qq && break
    echo "apt-get update failed (attempt $attempt of 3)"
    sleep $((attempt * 10))
  done
  install() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@"; }
  if ! install "${missing[@]}"; then
    # Wine's 32-bit side needs i386 indexes that match the amd64 ones; when
    # the mirror cannot give them, everything else is still installed and
    # the end-to-end tests run on the 64-bit build alone.
    without_wine32=()
    for package in "${missing[@]}"; do
      [[ $package == "$wine32_package" ]] || without_wine32+=("$package")
    done
    ((${#without_wine32[@]} < ${#missing[@]})) || exit 1
    echo "Not installing $wine32_package: apt-get could not install it with the rest; the 32-bit build is not run end to end."
    ((${#without_wine32[@]} == 0)) || install "${without_wine32[@]}"
  fi
fi
