#!/usr/bin/python3
"""Peak memory of each Windows build under Wine while the saver shows a list
of 24-megapixel photos.

    /usr/bin/python3 bench/wine_memory.py [photos]      (default 4)

Needs the win64 and win32 builds (scripts/build.sh win64 win32); the win32
one also needs Wine's 32-bit side (scripts/install-deps.sh installs it where
the machine runs 32-bit programs). The list holds a small picture and then
the photos (6000 x 4000 JPEGs, written afresh), shown one after another
through a left wipe, a second apart, until the small picture comes round
again. The figure is the peak resident memory of the saver's process (VmHWM,
the peak working set) once the round is done, against its peak while the
small picture was on the screen (the program, Wine and the screen images).
One line per build.
"""
from __future__ import annotations

import sys
import time
from pathlib import Path
from typing import Optional

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
sys.path.insert(0, str(REPO / "bench"))

from PIL import Image, ImageChops, ImageStat  # noqa: E402

from builds import BUILDS, Build, wine_32_bit_missing  # noqa: E402
from harness import (FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, Screen, WaitTimeout,  # noqa: E402
                     WinePrefix, WineProgram, XServer, poll, process_id)
from make_photos import photo, write_photos  # noqa: E402
from paths import PREFIX_DIR  # noqa: E402
from saver_files import saver_settings, write_settings  # noqa: E402

PHOTO_WIDTH, PHOTO_HEIGHT = 6000, 4000
FOLDER = "C:\\vbench\\memory"
# Screens are compared in blocks of 16 x 16 pixels, which evens out the
# photos' noise and the decoders' rounding.
COMPARE_SIZE = (SCREEN_WIDTH // 16, SCREEN_HEIGHT // 16)
# Mean difference per channel below which a screen shows a picture.
MATCH_LIMIT = 8
MB = 1024 * 1024
RED = (255, 0, 0)  # the background of saver_settings()


def on_screen(picture: Image.Image) -> Image.Image:
    """The screen with `picture` fitted to it and centred on the saver's red
    background (the list has no captions), reduced for comparison."""
    if picture.width > SCREEN_WIDTH or picture.height > SCREEN_HEIGHT:
        picture = picture.copy()
        picture.thumbnail((SCREEN_WIDTH, SCREEN_HEIGHT), Image.BOX)
    screen = Image.new("RGB", (SCREEN_WIDTH, SCREEN_HEIGHT), RED)
    screen.paste(picture, ((SCREEN_WIDTH - picture.width) // 2, (SCREEN_HEIGHT - picture.height) // 2))
    return screen.resize(COMPARE_SIZE, Image.BOX)


def shown(shot: Image.Image, looks: list[Image.Image]) -> Optional[int]:
    """Which picture the screen shows whole, if any."""
    reduced = shot.resize(COMPARE_SIZE, Image.BOX)
    for index, look in enumerate(looks):
        if max(ImageStat.Stat(ImageChops.difference(reduced, look)).mean) < MATCH_LIMIT:
            return index
    return None


def memory_kb(pid: int) -> dict[str, int]:
    """The Vm... lines of /proc/<pid>/status, in kB."""
    fields = {}
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        key, _, value = line.partition(":")
        if key.startswith("Vm"):
            fields[key] = int(value.split()[0])
    return fields


class SaverRun:
    """vistrel.scr of one build showing a list of pictures."""

    def __init__(self, prefix: WinePrefix, build: Build, pictures: list[str], **options: str):
        self.windows_folder = f"{FOLDER}\\{build.name}"
        folder = prefix.unix_path(self.windows_folder)
        folder.mkdir(parents=True, exist_ok=True)
        (folder / "vistrel.scr").write_bytes(build.file("vistrel.scr").read_bytes())
        write_settings(folder / "vistrel.ini", saver_settings(pictures, **options))
        self.program = WineProgram(prefix, f"{self.windows_folder}\\vistrel.scr", ["/s"], folder)
        # The Windows process itself (Wine may start it through start.exe).
        pattern = (self.windows_folder + "\\vistrel.scr").replace("\\", "\\\\")
        self.pid = poll(lambda: self._pid(pattern), FIRST_START_TIMEOUT, f"the process of {self.windows_folder}")

    @staticmethod
    def _pid(pattern: str) -> Optional[int]:
        try:
            return process_id(pattern, "vistrel.scr")
        except RuntimeError:
            return None

    def memory(self) -> dict[str, int]:
        return memory_kb(self.pid)

    def end(self) -> None:
        self.program.kill()
        poll(lambda: not Path(f"/proc/{self.pid}").exists(), 15, "the saver to end")


def measure(prefix: WinePrefix, screen: Screen, build: Build, pictures: list[str],
            looks: list[Image.Image]) -> str:
    """Runs the saver on `pictures` (the small one first, then the photos)
    until the small one comes round again."""
    run = SaverRun(prefix, build, pictures, timeInterval="1", effectMode="1")
    seen: list[int] = []
    figures: list[dict[str, int]] = []
    began = time.monotonic()

    def round_done():
        if not run.program.running():
            raise RuntimeError(f"the saver ended (exit code {run.program.process.returncode}) "
                               f"after showing pictures {seen}; {run.program.stderr()}")
        index = shown(screen.shot(), looks)
        if index is not None and (not seen or seen[-1] != index):
            seen.append(index)
            figures.append(run.memory())
        return len(seen) > len(pictures)

    try:
        poll(round_done, FIRST_START_TIMEOUT + 30 * len(pictures),
             lambda: f"{len(pictures) + 1} pictures in turn; saw {seen}", interval=0.1)
        elapsed = time.monotonic() - began
    finally:
        run.end()
    if seen != list(range(len(pictures))) + [0]:
        raise RuntimeError(f"pictures shown out of order: {seen}")

    baseline, peak = figures[0], figures[-1]
    photos = len(pictures) - 1
    decoded_mb = PHOTO_WIDTH * PHOTO_HEIGHT * 4 / MB  # a photo decoded whole
    extra_mb = (peak["VmHWM"] - baseline["VmHWM"]) / 1024
    return (f"{build.name}: peak working set {peak['VmHWM'] / 1024:6.1f} MB (VmHWM), "
            f"{extra_mb:6.1f} MB = {extra_mb / decoded_mb:4.2f} decoded photos ({decoded_mb:.1f} MB each) "
            f"above the {baseline['VmHWM'] / 1024:.1f} MB with the small picture; "
            f"{photos} photos in {elapsed:.1f} s")


def main() -> None:
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 4
    server = XServer()
    missing_32_bit = wine_32_bit_missing()
    prefix = WinePrefix(PREFIX_DIR, server.display)
    prefix.ensure_created(with_32_bit=missing_32_bit is None)
    prefix.start_server()
    try:
        folder = prefix.unix_path(FOLDER)
        files = write_photos(str(folder), count, PHOTO_WIDTH, PHOTO_HEIGHT)
        photos = [f"{FOLDER}\\{Path(file).name}" for file in files]
        small = Image.new("RGB", (320, 240))
        small.putdata([(x % 200, (x + y) % 256, 128 + y % 128) for y in range(240) for x in range(320)])
        small.save(folder / "small.bmp", format="BMP")
        pictures = [f"{FOLDER}\\small.bmp"] + photos
        looks = [on_screen(small)] + [on_screen(photo(index, PHOTO_WIDTH, PHOTO_HEIGHT)) for index in range(count)]

        screen = Screen(server.display)
        print(f"Showing {count} photos of {PHOTO_WIDTH} x {PHOTO_HEIGHT} "
              f"({sum(Path(f).stat().st_size for f in files) / MB:.1f} MB of JPEG) under Wine:")
        for build in BUILDS.values():
            reason = build.cannot_run()
            if reason:
                print(f"{build.name}: not run: {reason}")
                continue
            if not build.file("vistrel.scr").exists():
                print(f"{build.name}: not run: {build.file('vistrel.scr')} is not built")
                continue
            try:
                print(measure(prefix, screen, build, pictures, looks), flush=True)
            except (RuntimeError, WaitTimeout) as error:
                print(f"{build.name}: failed: {error}", flush=True)
    finally:
        prefix.stop_server()
        server.stop()


if __name__ == "__main__":
    main()
