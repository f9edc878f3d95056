"""The saver changing pictures every second under Wine, watched to the
millisecond: when each picture came (screen_watch.exe on the screen's
middle pixel), how long the saver window's thread kept a message waiting
meanwhile (answer_times.exe), and the process's peak memory. Used by the
end-to-end tests and by bench/change_cycle.py."""

from __future__ import annotations

import statistics
import sys
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from PIL import Image

from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, copy_fresh, poll, process_id
from paths import REPO
from saver_files import saver_settings
from saver_windows import wait_for_desktop

sys.path.insert(0, str(REPO / "bench"))
from make_photos import photo  # noqa: E402  (the benchmarks' large photos)

PHOTO_COUNT = 3
LARGE = (6000, 4000)  # 24 megapixels
SMALL = (600, 400)  # the same photos, a tenth of the size each way
BLACK_SETTING = "0"
# A waiting message is noted when its answer took this long.
NOTED_WAIT_MS = 20
MIDDLE = (SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)
# Each photo has a red channel of its own (make_photos.py): 60 apart in the
# middle row, against the black background's 0.
RED_TOLERANCE = 20


def photo_sets(folder: Path) -> dict[str, list[Path]]:
    """The same three photos at 6000 x 4000 and at 600 x 400, as JPEGs."""
    sets: dict[str, list[Path]] = {"600 x 400": [], "6000 x 4000": []}
    (folder / "photos").mkdir(parents=True, exist_ok=True)
    for index in range(PHOTO_COUNT):
        large = photo(index, *LARGE)
        for name, picture in (("6000 x 4000", large), ("600 x 400", large.resize(SMALL, Image.BOX))):
            path = folder / "photos" / f"{picture.width}x{picture.height}-{index + 1}.jpg"
            if not path.exists():
                picture.save(path, quality=90)
            sets[name].append(path)
    return sets


def middle_red(path: Path) -> int:
    """The red of the pixel the screen's middle shows of the photo, centred
    (and fitted when larger than the screen)."""
    with Image.open(path) as picture:
        middle = picture.convert("RGB").crop((picture.width // 2 - 8, picture.height // 2 - 8,
                                              picture.width // 2 + 8, picture.height // 2 + 8))
        return round(sum(p[0] for p in middle.getdata()) / 256)


@dataclass
class ChangeCycle:
    shown: list[tuple[float, int]]  # (ms on the watch's clock, photo index) each time a photo came
    waits: list[tuple[float, float]]  # (ms on the watchdog's clock, ms) of each noted wait
    longest_wait: float  # ms of the saver window's slowest answer
    peak_mb: float  # the process's peak resident memory (VmHWM)

    @property
    def cycles(self) -> list[float]:
        """ms between one photo's coming and the next's, the first photo's
        own coming left out."""
        times = [at for at, _ in self.shown]
        return [b - a for a, b in zip(times[1:], times[2:])]

    @property
    def mean_cycle(self) -> float:
        return statistics.mean(self.cycles)


def saver_process(folder) -> Optional[int]:
    """The Windows process of the folder's vistrel.scr (Wine may start it
    through start.exe)."""
    try:
        return process_id((folder.windows_path + "\\vistrel.scr").replace("\\", "\\\\"), "vistrel.scr")
    except RuntimeError:
        return None


def peak_mb(pid: int) -> float:
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024
    return 0.0


def photos_seen(lines: list[str], reds: list[int]) -> list[tuple[float, int]]:
    """The watch's colour changes, as the photos that came, in turn."""
    shown: list[tuple[float, int]] = []
    for line in lines:
        at, red, _green, _blue = (float(v) for v in line.split())
        nearest = min(range(len(reds)), key=lambda i: abs(reds[i] - red))
        if abs(reds[nearest] - red) > RED_TOLERANCE:
            continue  # the background of the pause
        if not shown or shown[-1][1] != nearest:
            shown.append((at, nearest))
    return shown


def watch_changes(folder, saver_file: Path, pictures: list[Path], watch_ms: int) -> ChangeCycle:
    """Runs `saver_file` (copied into the folder) on `pictures`, a change
    every second, each shown at once ("Standard") over black, and watches it
    for `watch_ms` once its window is up; then ends it."""
    for helper in ("window_probe.exe", "answer_times.exe", "screen_watch.exe"):
        folder.install(helper)
    copy_fresh(saver_file, folder.path)
    settings = saver_settings([folder.windows_path_of(p) for p in pictures], timeInterval="1", effectMode="0")
    settings["background"]["newBackColor"] = BLACK_SETTING
    folder.write_settings(settings)
    reds = [middle_red(p) for p in pictures]

    saver = folder.start_saver("/s")
    desktop = wait_for_desktop(folder, lambda d: any(w.title == "" and w.visible and w.topmost for w in d.windows),
                               "the saver window on top", FIRST_START_TIMEOUT)
    pid = poll(lambda: saver_process(folder), 15, "the saver's process")
    watch = folder.start("screen_watch.exe", str(MIDDLE[0]), str(MIDDLE[1]), str(watch_ms), capture_stdout=True)
    answers = folder.start("answer_times.exe", str(desktop.saver.handle), str(watch_ms), str(NOTED_WAIT_MS),
                           capture_stdout=True)
    timeout = watch_ms / 1000 + 60
    assert watch.wait_exit(timeout) == 0, watch.stderr()
    assert answers.wait_exit(timeout) == 0, answers.stderr()
    memory = peak_mb(pid)
    assert saver.running(), f"the saver ended early: {saver.stderr()}"
    saver.kill()

    summary, *noted = answers.stdout_rest().splitlines()
    waits = [(float(at), float(waited)) for at, waited in (line.split() for line in noted)]
    return ChangeCycle(photos_seen(watch.stdout_rest().splitlines(), reds), waits, float(summary.split()[0]), memory)
