"""Running vistrel.scr under Wine on a private X server, and watching it.

Everything here waits by polling with a deadline: Wine's start-up time
varies a lot (the first program of a session takes far longer than the
next), so fixed sleeps would be either flaky or slow.
"""

from __future__ import annotations

import io
import os
import re
import select
import shutil
import subprocess
import tempfile
import time
from pathlib import Path, PureWindowsPath
from typing import Callable, Iterable, Optional, TypeVar, Union

from PIL import Image

T = TypeVar("T")

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768
POLL_INTERVAL = 0.2
# The first program of a session waits for Wine's own services to start.
FIRST_START_TIMEOUT = 45
# Wine's own fonts, from Debian's fonts-wine.
WINE_FONTS = Path("/usr/share/wine/fonts")


class WaitTimeout(AssertionError):
    pass


def poll(check: Callable[[], Optional[T]], timeout: float, what: Union[str, Callable[[], str]],
         interval: float = POLL_INTERVAL) -> T:
    """Calls `check` until it returns something other than None or False.
    `what` names the awaited event in the timeout's message; a callable is
    asked only then, so it can tell what was seen last."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result is not None and result is not False:
            return result
        if time.monotonic() >= deadline:
            text = what() if callable(what) else what
            raise WaitTimeout(f"timed out after {timeout:.0f} s waiting for {text}")
        time.sleep(interval)


class XServer:
    """An Xvfb of its own, on the first free display number from :90."""

    def __init__(self, first_display: int = 90, last_display: int = 140):
        self.process: Optional[subprocess.Popen] = None
        self.display = ""
        for number in range(first_display, last_display):
            if self._taken(number):
                continue
            if self._try_start(number):
                return
        raise RuntimeError("no free X display number for Xvfb")

    @staticmethod
    def _taken(number: int) -> bool:
        return (Path(f"/tmp/.X{number}-lock").exists()
                or Path(f"/tmp/.X11-unix/X{number}").exists())

    width = SCREEN_WIDTH

    def _command(self, display: str) -> list[str]:
        return ["Xvfb", display, "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp"]

    def _prepare(self, env: dict) -> None:
        """Sets the server up once it accepts connections."""

    def _try_start(self, number: int) -> bool:
        display = f":{number}"
        process = subprocess.Popen(self._command(display), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env = dict(os.environ, DISPLAY=display)

        def accepting() -> Optional[bool]:
            if process.poll() is not None:
                return True  # lost a race for the number: try the next one
            probe = subprocess.run(["xdotool", "getmouselocation"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return probe.returncode == 0 or None

        try:
            poll(accepting, 15, f"Xvfb on {display} to accept connections")
        except WaitTimeout:
            process.kill()
            process.wait()
            raise
        if process.poll() is not None:
            return False
        self.process, self.display = process, display
        self._prepare(env)
        self._paint_desktop()
        return True

    def _paint_desktop(self) -> None:
        """Gives the X root window, which Wine programs see as the desktop, a
        pattern without any flat area, so that a copy of the desktop is told
        apart from a plain background. Must happen before Wine connects."""
        desktop = Image.new("RGB", (self.width, SCREEN_HEIGHT))
        desktop.putdata([(96 + (x // 3) % 64, (y * 3) % 128, 64 + ((x + y) // 5) % 96)
                         for y in range(SCREEN_HEIGHT) for x in range(self.width)])
        with tempfile.NamedTemporaryFile(suffix=".png") as file:
            desktop.save(file.name)
            # ImageMagick's display exits with 1 here even when it has set
            # the picture: the screenshots tell whether it worked.
            subprocess.run(["display", "-display", self.display, "-window", "root", file.name],
                           timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self) -> None:
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


# The second kind of X server: Xorg with the dummy video driver, two
# monitors of 1024 x 768 side by side through RandR. Xvfb cannot give Wine
# two monitors (Wine 8 sees one under its Xinerama and its RandR monitors).
TWO_MONITORS_WIDTH = 2 * SCREEN_WIDTH
XORG_DUMMY_CONFIG = f"""\
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "{SCREEN_WIDTH}x{SCREEN_HEIGHT}" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "{SCREEN_WIDTH}x{SCREEN_HEIGHT}"
    Virtual {TWO_MONITORS_WIDTH} {SCREEN_HEIGHT}
  EndSubSection
EndSection
"""
# The second monitor's mode: the first one's timings under another name.
SECOND_MODE = ["1024x768b", "63.50", "1024", "1072", "1176", "1328", "768", "771", "775", "798",
               "-hsync", "+vsync"]


class TwoMonitorXServer(XServer):
    """An Xorg of its own with two monitors: the primary at (0, 0) and the
    second right of it at (1024, 0), each 1024 x 768."""

    width = TWO_MONITORS_WIDTH

    def __init__(self, first_display: int = 141, last_display: int = 190):
        self._folder = Path(tempfile.mkdtemp(prefix="vistrel-xorg-"))
        (self._folder / "xorg.conf").write_text(XORG_DUMMY_CONFIG)
        super().__init__(first_display, last_display)

    def _command(self, display: str) -> list[str]:
        return ["Xorg", display, "-config", str(self._folder / "xorg.conf"), "-noreset", "-nolisten", "tcp",
                "-novtswitch", "-sharevts", "-logfile", str(self._folder / f"xorg{display[1:]}.log")]

    def _prepare(self, env: dict) -> None:
        self._xrandr("--newmode", *SECOND_MODE)
        self._xrandr("--addmode", "DUMMY1", SECOND_MODE[0])
        self.place_second("right-of")

    def _xrandr(self, *args: str) -> None:
        subprocess.run(["xrandr", *args], env=dict(os.environ, DISPLAY=self.display), check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def place_second(self, side: str) -> None:
        """Puts the second monitor "right-of" or "left-of" the primary. With
        "left-of" the primary lies on the right half of the X screen, and
        Windows programs see the second monitor at (-1024, 0). Wine takes a
        new arrangement in when its server starts again."""
        self._xrandr("--output", "DUMMY1", "--mode", SECOND_MODE[0], f"--{side}", "DUMMY0")
        # Wine reads the outputs without asking the server to look at them
        # again; a full query here makes the server take in the second one
        # (without it Wine saw one monitor).
        self._xrandr("--query")
        self._xrandr("--listmonitors")

    def stop(self) -> None:
        super().stop()
        shutil.rmtree(self._folder, ignore_errors=True)


class Screen:
    """The X server as the tests see it: pixels, pointer and windows."""

    def __init__(self, display: str):
        self.display = display
        self.env = dict(os.environ, DISPLAY=display)
        self.last_shot: Optional[Image.Image] = None

    def shot(self) -> Image.Image:
        png = subprocess.run(["import", "-window", "root", "-display", self.display, "png:-"],
                             check=True, capture_output=True, timeout=30).stdout
        self.last_shot = Image.open(io.BytesIO(png)).convert("RGB")
        return self.last_shot

    def pointer(self) -> tuple[int, int]:
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env,
                             check=True, capture_output=True, text=True, timeout=10).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def visible_windows(self, pattern: str = ".") -> set[int]:
        """Mapped windows whose name, class or class name matches `pattern`."""
        run = subprocess.run(["xdotool", "search", "--onlyvisible", pattern], env=self.env,
                             capture_output=True, text=True, timeout=10)
        # xdotool exits with 1 when nothing matches.
        return {int(line) for line in run.stdout.split()}

    def window_name(self, window: int) -> str:
        run = subprocess.run(["xdotool", "getwindowname", str(window)], env=self.env,
                             capture_output=True, text=True, timeout=10)
        return run.stdout.strip()

    def wait_for(self, condition: Callable[[Image.Image], bool], timeout: float,
                 what: str) -> Image.Image:
        """Screenshots until one satisfies `condition`; returns that one."""
        return poll(lambda: (lambda shot: shot if condition(shot) else None)(self.shot()),
                    timeout, what)


class WinePrefix:
    """A 64-bit Wine prefix kept between sessions, with a persistent server;
    it runs 32-bit programs too when Wine's 32-bit side is installed."""

    def __init__(self, path: Path, display: str):
        self.path = path
        self.env = dict(os.environ, WINEPREFIX=str(path), WINEARCH="win64", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=display)
        self.env.pop("WAYLAND_DISPLAY", None)

    @property
    def drive_c(self) -> Path:
        return self.path / "drive_c"

    def unix_path(self, windows_path: str) -> Path:
        parts = PureWindowsPath(windows_path)
        assert parts.drive.upper() == "C:", windows_path
        return self.drive_c.joinpath(*parts.parts[1:])

    def app_data_folder(self) -> str:
        """%APPDATA% of the prefix's user, as Windows programs see it: read
        from the user's registry file, since starting a console program here
        (cmd /c echo) leaves Wine's desktop in a state in which the preview
        host's window no longer shows."""
        text = (self.path / "user.reg").read_text("utf-8", "replace")
        shell_folders = text.split("[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]", 1)
        assert len(shell_folders) == 2, "no Shell Folders in user.reg"
        found = re.search(r'^"AppData"="([^"]+)"', shell_folders[1].split("\n[", 1)[0], re.M)
        assert found, "no AppData among the Shell Folders of user.reg"
        folder = found.group(1).replace("\\\\", "\\")
        assert folder.upper().startswith("C:\\"), folder
        return folder

    def ensure_created(self, with_32_bit: bool) -> None:
        """Makes the prefix, or brings it up to date. With `with_32_bit`
        (Wine's 32-bit side installed) it runs 32-bit programs too, also
        when it was made before that side was installed."""
        self._make(with_32_bit)
        self._copy_wine_fonts()

    def _copy_wine_fonts(self) -> None:
        """Wine's own faces (Debian's fonts-wine) into the prefix's Fonts
        folder: this Wine finds "MS Sans Serif" and Tahoma only there, and
        without them draws the dialog's labels in DejaVu Sans, a fifth
        wider, which cuts them."""
        fonts = self.drive_c / "windows" / "Fonts"
        fonts.mkdir(parents=True, exist_ok=True)
        for font in WINE_FONTS.glob("*"):
            if not (fonts / font.name).exists():
                shutil.copy2(font, fonts / font.name)

    def _make(self, with_32_bit: bool) -> None:
        if (self.path / "system.reg").exists():
            if not with_32_bit or (self.drive_c / "windows" / "syswow64" / "kernel32.dll").exists():
                return
            # Made by 64-bit Wine alone: without the stamp of its last update
            # the next wineboot sets it up again, now with its 32-bit system.
            (self.path / ".update-timestamp").unlink(missing_ok=True)
            command = ["wineboot", "-u"]
        else:
            self.path.parent.mkdir(parents=True, exist_ok=True)
            command = ["wineboot", "-i"]
        subprocess.run(command, env=self.env, check=True, timeout=600,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, check=True, timeout=600)

    def start_server(self) -> None:
        # A server left from an earlier session would keep Wine's desktop
        # process tied to that session's X display.
        self.stop_server()
        # The server daemonizes; -p keeps it (and the prefix's loaded state)
        # alive between programs, which makes each start much faster.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, timeout=60)

    def stop_server(self) -> None:
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class WineProgram:
    """One Windows process started by the tests."""

    def __init__(self, prefix: WinePrefix, windows_path: str, args: Iterable[str],
                 log_dir: Path, capture_stdout: bool = False):
        self.command = [windows_path, *args]
        log_name = f"{PureWindowsPath(windows_path).stem}-{time.monotonic_ns()}"
        self.stderr_path = log_dir / f"{log_name}.stderr"
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen(
                ["wine", *self.command], env=prefix.env, stdin=subprocess.DEVNULL,
                stdout=subprocess.PIPE if capture_stdout else subprocess.DEVNULL, stderr=stderr)

    def running(self) -> bool:
        return self.process.poll() is None

    def wait_exit(self, timeout: float) -> int:
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise WaitTimeout(f"{' '.join(self.command)} still running after {timeout:.0f} s") from None

    def read_line(self, timeout: float) -> str:
        """The next line of the program's stdout (started with capture_stdout)."""
        assert self.process.stdout is not None
        deadline = time.monotonic() + timeout
        line = b""
        while not line.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            ready, _, _ = select.select([self.process.stdout], [], [], max(remaining, 0))
            if not ready:
                raise WaitTimeout(f"no line from {self.command[0]} within {timeout:.0f} s")
            byte = os.read(self.process.stdout.fileno(), 1)
            if not byte:
                raise AssertionError(f"{self.command[0]} closed its output; stderr: {self.stderr()}")
            line += byte
        return line.decode("ascii", "replace").strip()

    def stdout_rest(self) -> str:
        assert self.process.stdout is not None
        return self.process.stdout.read().decode("ascii", "replace")

    def stderr(self) -> str:
        return self.stderr_path.read_text(errors="replace")[-2000:]

    def kill(self) -> None:
        if self.running():
            self.process.kill()
        self.process.wait()
        if self.process.stdout:
            self.process.stdout.close()


def process_id(pattern: str, name: str) -> int:
    """The process whose command line matches `pattern` and whose name is
    `name` (Wine names a Windows process after its program file)."""
    out = subprocess.run(["pgrep", "-f", pattern], capture_output=True, text=True).stdout.split()
    for pid in out:
        try:
            if Path(f"/proc/{pid}/comm").read_text().strip() == name:
                return int(pid)
        except OSError:
            continue
    raise RuntimeError(f"no process {name} among {out}")


def copy_fresh(source: Path, folder: Path) -> Path:
    folder.mkdir(parents=True, exist_ok=True)
    target = folder / source.name
    shutil.copy2(source, target)
    return target
