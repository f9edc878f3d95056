"""A protected saver run over large pictures, changing every second, while
windows_key_probe.exe presses the Windows key every 100 ms: how long the
saver's keyboard guard took to answer each stroke, and whether any press got
past it. Used by the end-to-end tests and by bench/guard_answer.py."""

from __future__ import annotations

import json
import statistics
import sys
from dataclasses import dataclass
from pathlib import Path

from harness import FIRST_START_TIMEOUT, WineProgram, copy_fresh
from paths import REPO
from saver_files import sample_picture, saver_settings
from saver_windows import (ANSWER_TIMEOUT, BLUE_SETTING, PASSWORD, press, type_text, wait_for_desktop)

sys.path.insert(0, str(REPO / "bench"))
from make_photos import photo, write_photos  # noqa: E402  (the benchmarks' large photos)

# How long the probe presses the Windows key: a few changes of large pictures.
PRESS_MS = 8000
PHOTO_SIZE = (6000, 4000)  # 24 megapixels
PNG_SIZE = (7000, 7000)  # 49 megapixels


def large_photos(folder: Path) -> list[Path]:
    """Three 24-megapixel JPEG photos."""
    return [Path(p) for p in write_photos(str(folder / "photos"), 3, *PHOTO_SIZE)]


def large_png(folder: Path) -> list[Path]:
    """A 49-megapixel PNG, then a small BMP."""
    png = folder / "large.png"
    photo(0, *PNG_SIZE).save(png, compress_level=1)
    return [png, sample_picture(folder)]


PICTURES = {"24-megapixel photos": large_photos, "49-megapixel PNG": large_png}


@dataclass
class GuardAnswers:
    times: list[float]  # ms each SendInput call took, press and release alike
    failed: int  # calls that did not send their stroke
    reached: int  # presses that got past the saver's guard
    ui_longest: float  # ms of the saver window's slowest answer meanwhile

    @property
    def slowest(self) -> float:
        return max(self.times)

    @property
    def median(self) -> float:
        return statistics.median(self.times)


def start_probe(folder) -> WineProgram:
    """windows_key_probe.exe with its hook installed: before any saver's."""
    folder.install("windows_key_probe.exe")
    go_file = folder.path / "go"
    go_file.unlink(missing_ok=True)
    probe = folder.start("windows_key_probe.exe", "saver", folder.windows_path_of(go_file), str(PRESS_MS),
                         capture_stdout=True)
    line = probe.read_line(FIRST_START_TIMEOUT)
    assert line == "hooked", f"the probe said {line!r}; {probe.stderr()}"
    return probe


def press_during_protected_run(folder, pictures: list[Path], saver_file: Path) -> tuple[GuardAnswers, WineProgram]:
    """Starts the probe, then a protected saver (`saver_file`, copied into the
    folder) showing `pictures` with a change every second and random
    transitions; presses the Windows key for PRESS_MS once the saver window
    is up. Gives the answers and the saver, still running."""
    for helper in ("window_probe.exe", "answer_times.exe"):
        folder.install(helper)
    copy_fresh(saver_file, folder.path)
    settings = saver_settings([folder.windows_path_of(p) for p in pictures], timeInterval="1", randomEffect="1")
    settings["background"]["newBackColor"] = BLUE_SETTING
    settings["password"] = {"saverPassword": PASSWORD, "saverEnabled": "1"}
    folder.write_settings(settings)

    probe = start_probe(folder)
    saver = folder.start_saver("/s")
    desktop = wait_for_desktop(folder, lambda d: any(w.title == "" and w.visible and w.topmost for w in d.windows),
                               "the saver window on top", FIRST_START_TIMEOUT)
    # The saver window's own answers meanwhile: how long its thread was busy.
    answers = folder.start("answer_times.exe", str(desktop.saver.handle), str(PRESS_MS), capture_stdout=True)
    (folder.path / "go").touch()

    result = json.loads(probe.read_line(PRESS_MS / 1000 + 60))
    assert answers.wait_exit(30) == 0, answers.stderr()
    ui_longest = float(answers.stdout_rest().split()[0])
    return GuardAnswers(result["times"], result["failed"], result["reached"], ui_longest), saver


def end_with_password(folder, screen, saver: WineProgram) -> int:
    """The Windows key has brought up the prompt: types the password; gives
    the saver's exit code."""
    wait_for_desktop(folder, lambda d: d.prompt_shown(), "the password prompt")
    type_text(screen, PASSWORD)
    press(screen, "Return")
    return saver.wait_exit(ANSWER_TIMEOUT)
