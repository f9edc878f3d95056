#!/usr/bin/env bash
# Takes the pictures the README shows, from the Windows build running under
# Wine on a virtual display (Xvfb), with the bundled sample pictures and
# settings:
#
#   docs/pictures/settings-dialog.png   the settings dialog ("/c")
#   docs/pictures/saver-running.png     the running saver ("/s"), a picture with its caption
#   docs/pictures/saver-transition.png  the running saver half-way through a transition
#   docs/pictures/saver-fitted-photo.png a 12-megapixel phone photo, turned upright and fitted below its caption
#   docs/pictures/saver-crossfade.png   the running saver half-way through a crossfade
#   docs/pictures/saver-blurred-fill.png the phone photo over a blurred copy of itself (backEffect=2)
#
# Run from anywhere in a clone; it installs what it needs and builds the
# Windows program first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/wine-samples.sh

scripts/install-deps.sh
scripts/build.sh win64

pictures="$root/docs/pictures"
mkdir -p "$pictures"

xvfb_pid="" program_pid=""
cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

start_virtual_display 150 199
use_wine_prefix wine-pictures
install_samples

# The settings dialog, opened as the screen-saver settings page's Settings button does.
wine "C:\\Vistrel\\vistrel.scr" /c &
program_pid=$!
window=$(xdotool search --sync --onlyvisible --name "Vistrel Screen Saver" | head -1)
# The window is up; its first paint follows with the next messages.
for _ in $(seq 50); do
  import -window "$window" -display "$DISPLAY" "$pictures/settings-dialog.png" 2>/dev/null && \
    [[ $(convert "$pictures/settings-dialog.png" -format '%k' info:) -gt 8 ]] && break
  sleep 0.2
done
echo "Picture: $pictures/settings-dialog.png"
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
wineserver -w 2>/dev/null || true

# The saver with the samples: the first picture comes 0.5 s after the start,
# then a change every 6 s, each through a random transition of about a
# second. The caption is hidden while a change runs, which tells the phases
# apart.
shot() { import -window root -display "$DISPLAY" "$1"; }
caption_shown() {
  /usr/bin/python3 -c 'import sys; from PIL import Image
band = Image.open(sys.argv[1]).convert("L").crop((0, 0, 1024, 40))
sys.exit(0 if band.getextrema()[1] > 128 else 1)' "$1"
}
wait_for_caption() {  # $1: shown or hidden
  for _ in $(seq 300); do
    shot "$scratch"
    if caption_shown "$scratch"; then [[ $1 == shown ]] && return; else [[ $1 == hidden ]] && return; fi
    sleep 0.1
  done
  echo "the caption never became $1" >&2
  exit 1
}
scratch=$(mktemp --suffix=.png)
wine "C:\\Vistrel\\vistrel.scr" /s &
program_pid=$!
wait_for_caption shown
cp "$scratch" "$pictures/saver-running.png"
echo "Picture: $pictures/saver-running.png"
# The next change: after its 0.3 s pause, half its transition.
wait_for_caption hidden
sleep 0.8
shot "$pictures/saver-transition.png"
rm -f "$scratch"
echo "Picture: $pictures/saver-transition.png"
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Settings edited from the samples': key=value pairs for [image] and
# [background], and with only=<name> the one sample whose file name holds it.
edit_settings() {
  /usr/bin/python3 - "$WINEPREFIX/drive_c/Vistrel/vistrel.ini" "$@" <<'PYTHON'
import re, sys
path, edits = sys.argv[1], sys.argv[2:]
text = open("samples/vistrel.ini", newline="").read()

def entries(name):
    return re.search(rf"\[{name}\]\r\n((?:\d+=.*\r\n)+)", text)

for edit in edits:
    key, value = edit.split("=", 1)
    if key == "only":
        images = dict(re.findall(r"(\d+)=(.*)\r\n", entries("images").group(1)))
        captions = dict(re.findall(r"(\d+)=(.*)\r\n", entries("caption").group(1)))
        index = next(i for i, path_ in images.items() if value in path_)
        for name, listed in (("images", images), ("caption", captions)):
            found = entries(name)
            text = text[:found.start(1)] + f"0={listed[index]}\r\n" + text[found.end(1):]
        text = re.sub(r"total=\d+", "total=1", text)
    else:
        text = re.sub(rf"^{key}=.*\r$", f"{key}={value}\r", text, flags=re.M)
open(path, "w", newline="").write(text)
PYTHON
}

run_saver() {
  scratch=$(mktemp --suffix=.png)
  wine "C:\\Vistrel\\vistrel.scr" /s &
  program_pid=$!
}

stop_saver() {
  rm -f "$scratch"
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# The phone photo alone.
edit_settings only=autumn_phone_photo
run_saver
wait_for_caption shown
cp "$scratch" "$pictures/saver-fitted-photo.png"
echo "Picture: $pictures/saver-fitted-photo.png"
stop_saver

# A crossfade between the first two samples, caught half-way: the change
# begins when the caption goes, the fade after the 0.3 s pause.
edit_settings effectMode=8 randomEffect=0 timeInterval=3
run_saver
wait_for_caption shown
wait_for_caption hidden
# Shots through the change; the one furthest from both the old picture (the
# first) and the new one (the last) is the fade half-way.
frames=$(mktemp -d)
for n in $(seq -w 20); do shot "$frames/$n.png"; sleep 0.05; done
/usr/bin/python3 - "$frames" "$pictures/saver-crossfade.png" <<'PYTHON'
import shutil, sys
from pathlib import Path
from PIL import Image, ImageChops, ImageStat
shots = sorted(Path(sys.argv[1]).glob("*.png"))
def apart(a, b):
    return sum(ImageStat.Stat(ImageChops.difference(Image.open(a).convert("RGB"), Image.open(b).convert("RGB"))).mean)
best = max(shots, key=lambda shot: min(apart(shot, shots[0]), apart(shot, shots[-1])))
shutil.copy(best, sys.argv[2])
PYTHON
rm -rf "$frames"
echo "Picture: $pictures/saver-crossfade.png"
stop_saver

# The phone photo, standing upright on a landscape screen, over a blurred
# copy of itself.
edit_settings only=autumn_phone_photo backEffect=2
run_saver
wait_for_caption shown
cp "$scratch" "$pictures/saver-blurred-fill.png"
echo "Picture: $pictures/saver-blurred-fill.png"
stop_saver
