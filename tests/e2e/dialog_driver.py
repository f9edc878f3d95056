"""Driving the settings dialog of vistrel.scr under Wine: its windows as
inspect_windows.exe lists them, and the pointer and keys of xdotool."""

from __future__ import annotations

import json
import subprocess
from dataclasses import dataclass
from typing import Callable, Optional

from harness import FIRST_START_TIMEOUT, poll

DIALOG_TITLE = " Vistrel Screen Saver"
# The dialog's interior in twips, and twips to a pixel at the 96 dots per
# inch of the test prefix.
TWIPS_PER_PIXEL = 15


def pixels(twips: int) -> int:
    return round(twips / TWIPS_PER_PIXEL)


@dataclass
class Window:
    """One window as inspect_windows.exe saw it."""
    fields: dict

    def __getattr__(self, name):
        try:
            return self.fields[name]
        except KeyError:
            raise AttributeError(name) from None

    @property
    def centre(self) -> tuple[int, int]:
        return self.sx + self.w // 2, self.sy + self.h // 2


class Dialog:
    """The running settings dialog of one test's vistrel.scr."""

    def __init__(self, folder, screen, program):
        self.folder = folder
        self.screen = screen
        self.program = program
        folder.install("inspect_windows.exe")

    def _inspect(self, command: str) -> Optional[list[Window]]:
        helper = self.folder.start("inspect_windows.exe", command, capture_stdout=True)
        code = helper.wait_exit(FIRST_START_TIMEOUT)
        out = helper.stdout_rest()
        if code != 0:
            return None
        return [Window(json.loads(line)) for line in out.splitlines() if line.strip()]

    def tree(self) -> Optional[list[Window]]:
        """The dialog (first) and its windows; None while it is not shown."""
        return self._inspect("tree")

    def boxes(self) -> list[Window]:
        """Message boxes and common dialogs of the program, with their windows."""
        return self._inspect("boxes") or []

    def wait_shown(self, timeout: float = FIRST_START_TIMEOUT) -> list[Window]:
        def shown():
            windows = self.tree()
            return windows if windows and windows[0].text == DIALOG_TITLE and len(windows) > 30 else None
        return poll(shown, timeout, "the settings dialog with its controls")

    def close_box(self) -> None:
        self._inspect("close")

    # --- finding controls ---

    @staticmethod
    def by_text(windows: list[Window], text: str, cls: Optional[str] = None) -> Window:
        found = [w for w in windows[1:] if w.text == text and (cls is None or w.fields["class"].lower() == cls.lower())]
        assert len(found) == 1, f"{len(found)} windows with text {text!r}"
        return found[0]

    @staticmethod
    def in_box(windows: list[Window], text: str, cls: str) -> Window:
        """A window of a message box or common dialog, by its text and class."""
        found = [w for w in windows if w.text == text and w.fields["class"].lower() == cls.lower()]
        assert found, f"no {cls} {text!r} in {[w.text for w in windows]}"
        return found[0]

    @staticmethod
    def of_class(windows: list[Window], cls: str) -> list[Window]:
        return [w for w in windows[1:] if w.fields["class"].lower() == cls.lower()]

    # --- input ---

    def xdotool(self, *args: str) -> None:
        subprocess.run(["xdotool", *args], env=self.screen.env, check=True, timeout=10)

    def click(self, window: Window) -> None:
        x, y = window.centre
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def focus_window(self) -> None:
        """Gives the dialog's X window the keyboard, as a click on it would;
        an earlier test may have left the X focus elsewhere."""
        self.xdotool("search", "--onlyvisible", "--name", DIALOG_TITLE.strip(), "windowfocus", "--sync")

    def key(self, *keys: str) -> None:
        self.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text: str) -> None:
        self.xdotool("type", "--delay", "20", text)

    def wait_for(self, check: Callable[[list[Window]], object], timeout: float, what: str):
        def seen():
            windows = self.tree()
            return check(windows) if windows else None
        return poll(seen, timeout, what)

    def wait_for_box(self, text_part: str, timeout: float = 20) -> list[Window]:
        def shown():
            windows = self.boxes()
            return windows if any(text_part in w.text for w in windows) else None
        return poll(shown, timeout, f"a window showing {text_part!r}")
