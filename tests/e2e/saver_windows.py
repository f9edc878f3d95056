"""Driving a running saver with real input, and asking Windows (through
window_probe.exe) what became of its windows."""

from __future__ import annotations

import json
import subprocess
from dataclasses import dataclass, field
from typing import Optional

from PIL import Image

from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, poll
from pixels import is_all
from saver_files import sample_picture, saver_settings

PROMPT_TITLE = "Password Protection"
PASSWORD = "Secret"
BLUE = (0, 0, 255)
GREEN = (0, 160, 0)
BLUE_SETTING = "16711680"  # red in the low byte
# Windows' edit-control style that masks the text.
ES_PASSWORD = 0x20
# How long the saver may take to answer one input.
ANSWER_TIMEOUT = 15


@dataclass
class Edit:
    handle: int
    style: int
    visible: bool
    text: Optional[str]  # None for a masked box, whose text is not read

    @property
    def masked(self) -> bool:
        return bool(self.style & ES_PASSWORD)


@dataclass
class Window:
    handle: int
    title: str
    visible: bool
    enabled: bool
    topmost: bool
    frame: tuple[int, int, int, int]
    client: tuple[int, int, int, int]
    edits: list[Edit] = field(default_factory=list)

    def edit(self, masked: bool) -> Edit:
        return next(e for e in self.edits if e.masked == masked)


@dataclass
class Desktop:
    foreground: int
    focus: int
    windows: list[Window]

    def titled(self, title: str) -> Optional[Window]:
        return next((w for w in self.windows if w.title == title), None)

    @property
    def saver(self) -> Window:
        return next(w for w in self.windows if w.title == "")

    @property
    def prompt(self) -> Optional[Window]:
        return self.titled(PROMPT_TITLE)

    def prompt_shown(self) -> bool:
        return self.prompt is not None and self.prompt.visible


def probe(folder) -> Desktop:
    """The saver's windows as Windows reports them (needs window_probe.exe
    installed in the folder)."""
    program = folder.start("window_probe.exe", capture_stdout=True)
    assert program.wait_exit(FIRST_START_TIMEOUT) == 0, program.stderr()
    report = json.loads(program.stdout_rest())
    windows = [Window(w["handle"], w["title"], bool(w["visible"]), bool(w["enabled"]), bool(w["topmost"]),
                      tuple(w["frame"]), tuple(w["client"]),
                      [Edit(e["handle"], e["style"], bool(e["visible"]), e.get("text")) for e in w["edits"]])
               for w in report["windows"]]
    return Desktop(report["foreground"], report["focus"], windows)


def wait_for_desktop(folder, condition, what: str, timeout: float = ANSWER_TIMEOUT) -> Desktop:
    """Probes until `condition(desktop)` holds; returns that desktop."""
    seen: list[Desktop] = []

    def check():
        seen.append(probe(folder))
        return seen[-1] if condition(seen[-1]) else None

    return poll(check, timeout, lambda: f"{what}; last seen: {seen[-1] if seen else 'nothing'}")


def xdotool(screen, *args: str) -> None:
    subprocess.run(["xdotool", *args], env=screen.env, check=True, timeout=30)


def press(screen, *keys: str) -> None:
    xdotool(screen, "key", *keys)


def type_text(screen, text: str) -> None:
    xdotool(screen, "type", "--delay", "50", text)


def move_through(screen, points: list[tuple[int, int]], pause: float = 0.1) -> None:
    """Moves the pointer to each point in turn. The pause between moves lets
    each one reach the program as a move of its own: the system merges
    moves that wait in the queue together."""
    args: list[str] = []
    for x, y in points:
        args += ["mousemove", str(x), str(y), "sleep", str(pause)]
    xdotool(screen, *args)


def start_saver(folder, screen, protected: bool, password: str = PASSWORD, second_picture: bool = False,
                **image_options: str):
    """Starts a saver with one centred picture (or two, the second a green
    one larger than the first) over a blue background and waits until the
    background covers the screen; gives the program and the first picture's
    file."""
    folder.install("window_probe.exe")
    picture = sample_picture(folder.path)
    pictures = [picture]
    if second_picture:
        pictures.append(folder.path / "green.bmp")
        Image.new("RGB", (480, 400), GREEN).save(pictures[-1], format="BMP")
    settings = saver_settings([folder.windows_path_of(p) for p in pictures], **image_options)
    settings["background"]["newBackColor"] = BLUE_SETTING
    settings["password"] = {"saverPassword": password, "saverEnabled": "1" if protected else "0"}
    folder.write_settings(settings)
    saver = folder.start_saver("/s")
    # The corners lie outside any centred picture.
    screen.wait_for(lambda shot: all(is_all(shot.crop((x, y, x + 8, y + 8)), BLUE)
                                     for x, y in [(0, 0), (SCREEN_WIDTH - 8, SCREEN_HEIGHT - 8)]),
                    FIRST_START_TIMEOUT, "the blue background on the screen")
    return saver, picture
