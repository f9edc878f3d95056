#!/usr/bin/env bash
# Builds Vistrel for Windows and runs it under Wine with the bundled sample
# images and settings. On a desktop (DISPLAY set) it runs full screen until
# you press Ctrl+C here; without a display it runs on a virtual one and
# saves screenshots under build/demo-screenshots/ (VISTREL_DEMO_SECONDS sets
# how long, 45 s by default: long enough for every sample to come by once).
#
#   scripts/demo.sh          run the saver ("/s")
#   scripts/demo.sh /p       draw the preview into a window and exit
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/wine-samples.sh

scripts/install-deps.sh
scripts/build.sh win64

virtual_display="" xvfb_pid=""
cleanup() {
  [[ -n "${saver_pid:-}" ]] && kill "$saver_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" ]] || ! xdotool getmouselocation >/dev/null 2>&1; then
  start_virtual_display 70 99
  virtual_display=$DISPLAY
  echo "No usable display: running on the virtual display $DISPLAY"
fi

use_wine_prefix wine-demo
install_samples
echo "Installed into C:\\Vistrel of the Wine prefix (settings: $WINEPREFIX/drive_c/Vistrel/vistrel.ini)"

mode=${1:-/s}
wine "C:\\Vistrel\\vistrel.scr" "$mode" &
saver_pid=$!

if [[ -n "$virtual_display" ]]; then
  # Every sample comes by once, through a random transition: a screenshot
  # every 0.8 s catches each one mid-way, then a contact sheet shows them all.
  shots="$root/build/demo-screenshots"
  rm -rf "$shots"
  mkdir -p "$shots"
  seconds=${VISTREL_DEMO_SECONDS:-45}
  for ((i = 0; i * 8 < seconds * 10; i++)); do
    sleep 0.8
    printf -v name "%s/screen-%03d.png" "$shots" "$i"
    import -window root -display "$DISPLAY" "$name"
  done
  montage "$shots"/screen-*.png -tile 8x -geometry 256x192+2+2 -background '#202020' "$shots/contact-sheet.png"
  echo "Screenshots: $shots/screen-*.png (every 0.8 s), all of them in $shots/contact-sheet.png"
else
  echo "Vistrel is running full screen. Press Ctrl+C here to stop it."
  wait "$saver_pid" || true
fi
