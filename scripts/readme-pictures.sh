#!/usr/bin/env bash
# Takes the pictures the README shows, from the Windows build running under
# Wine on a virtual display (Xvfb), with the bundled sample pictures and
# settings:
#
#   docs/pictures/settings-dialog.png   the settings dialog ("/c")
#   docs/pictures/more-options.png      its page of more options (Alt+M)
#   docs/pictures/saver-running.png     the running saver ("/s"), a picture with its caption
#   docs/pictures/saver-transition.png  the running saver half-way through a transition
#   docs/pictures/saver-fitted-photo.png a 12-megapixel phone photo, turned upright and fitted below its caption
#   docs/pictures/saver-auto-caption.png a photo without a caption, captioned with its day, folder and file name
#   docs/pictures/settings-dialog-folder.png the settings dialog with a folder entry selected
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

# Keeps the window $1 as docs/pictures/$2 once it has been painted (more
# than a few colours): a window is up before its first paint.
window_picture() {
  for _ in $(seq 50); do
    import -window "$1" -display "$DISPLAY" "$pictures/$2" 2>/dev/null && \
      [[ $(convert "$pictures/$2" -format '%k' info:) -gt 8 ]] && break
    sleep 0.2
  done
  echo "Picture: $pictures/$2"
}

# The settings dialog, opened as the screen-saver settings page's Settings button does.
wine "C:\\Vistrel\\vistrel.scr" /c &
program_pid=$!
window=$(xdotool search --sync --onlyvisible --name "Vistrel Screen Saver" | head -1)
window_picture "$window" settings-dialog.png
# Its page of more options, opened from the keyboard.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+m
window_picture "$(xdotool search --sync --onlyvisible --name "^More options$" | head -1)" more-options.png
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

settings="$WINEPREFIX/drive_c/Vistrel/vistrel.ini"
# Settings that list one picture: $1 its path, $2 its caption, then any
# further key=value lines for [image].
list_only() {
  /usr/bin/python3 - "$settings" "$@" <<'PYTHON'
import re, sys
path, photo, caption, extra = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
text = open(path, newline="").read()
text = re.sub(r"\[images\]\r\n(?:\d+=.*\r\n)+", lambda _: f"[images]\r\n0={photo}\r\n", text)
text = re.sub(r"\[caption\]\r\n(?:\d+=.*\r\n)+", lambda _: f"[caption]\r\n0={caption}\r\n", text)
text = re.sub(r"total=\d+", "total=1", text)
text = text.replace("[image]\r\n", "[image]\r\n" + "".join(line + "\r\n" for line in extra))
open(path, "w", newline="").write(text)
PYTHON
}
# Runs the saver and keeps the screen as docs/pictures/$1 once the caption is up.
saver_picture() {
  run_saver
  wait_for_caption shown
  cp "$scratch" "$pictures/$1"
  echo "Picture: $pictures/$1"
  stop_saver
}


# The phone photo alone.
edit_settings only=autumn_phone_photo
saver_picture saver-fitted-photo.png

# A photo without a caption of its own, captioned by autoCaption: a sample
# saved again with the EXIF date of a camera, in a folder named after a trip.
/usr/bin/python3 - "$WINEPREFIX/drive_c/Vistrel" <<'PYTHON'
import sys
from pathlib import Path
from PIL import Image
vistrel = Path(sys.argv[1])
folder = vistrel / "Photos" / "Crete holiday"
folder.mkdir(parents=True, exist_ok=True)
exif = Image.Exif()
exif[0x8769] = {0x9003: "2024:07:14 20:45:00"}  # DateTimeOriginal
Image.open(vistrel / "samples" / "ocean_night.jpg").save(folder / "Balos beach.jpg", quality=90, exif=exif.tobytes())
PYTHON
list_only 'C:\Vistrel\Photos\Crete holiday\Balos beach.jpg' "" "autoCaption=date,folder,file"
saver_picture saver-auto-caption.png

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

# Rewrites the settings' picture list: each argument is an entry and its
# caption, "entry=caption".
set_list() {
  /usr/bin/python3 - "$settings" "$@" <<'PYTHON'
import re, sys
path, pairs = sys.argv[1], [pair.split("=", 1) for pair in sys.argv[2:]]
text = open(path, newline="").read()
images = "".join(f"{i}={entry}\r\n" for i, (entry, _) in enumerate(pairs))
captions = "".join(f"{i}={caption}\r\n" for i, (_, caption) in enumerate(pairs))
text = re.sub(r"\[images\]\r\n(?:\d+=.*\r\n)+", lambda _: "[images]\r\n" + images, text)
text = re.sub(r"\[caption\]\r\n(?:\d+=.*\r\n)+", lambda _: "[caption]\r\n" + captions, text)
text = re.sub(r"total=\d+", f"total={len(pairs)}", text)
open(path, "w", newline="").write(text)
PYTHON
}

# The dialog with a folder entry first in the list, so that it is selected
# when the dialog opens: its first picture as the thumbnail, its count in
# the status bar once the walk is done.
edit_settings  # the samples' settings again
set_list 'C:\Vistrel\samples\=Every photo of the samples folder' 'C:\Vistrel\samples\autumn_phone_photo.jpg=A phone photo'
wine "C:\\Vistrel\\vistrel.scr" /c &
program_pid=$!
window=$(xdotool search --sync --onlyvisible --name "Vistrel Screen Saver" | head -1)
# A few seconds for the walk of the folder and the thumbnail's decode.
sleep 3
import -window "$window" -display "$DISPLAY" "$pictures/settings-dialog-folder.png"
echo "Picture: $pictures/settings-dialog-folder.png"
