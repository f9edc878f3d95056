"""End-to-end tests: the Windows build of Vistrel run under Wine on Xvfb.

Run with `/usr/bin/python3 -m pytest tests/e2e` after building the win64
preset (vistrel.scr and the helper programs beside it). The Wine prefix is
made once under build/wine-prefix and reused; screenshots of failed tests go
to build/e2e-screenshots/.
"""

from __future__ import annotations

import re
import shutil
from pathlib import Path

import pytest

from harness import Screen, WineProgram, WinePrefix, XServer, copy_fresh, poll
from paths import PREFIX_DIR, SCREENSHOT_DIR, WIN64_BUILD_DIR
from saver_files import Sections, write_settings


def built(name: str) -> Path:
    path = WIN64_BUILD_DIR / name
    if not path.exists():
        pytest.skip(f"{path} is not built (build the win64 preset first)")
    return path


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    setattr(item, f"report_{report.when}", report)


@pytest.fixture(scope="session")
def xserver():
    server = XServer()
    yield server
    server.stop()


@pytest.fixture(scope="session")
def wine(xserver):
    prefix = WinePrefix(PREFIX_DIR, xserver.display)
    prefix.ensure_created()
    prefix.start_server()
    yield prefix
    prefix.stop_server()


@pytest.fixture(scope="session")
def screen(xserver):
    return Screen(xserver.display)


class TestFolder:
    """C:\\vtest\\<test>\\ in the prefix: the programs and files of one test,
    and every process the test started."""

    __test__ = False  # not a test class, despite the name

    def __init__(self, wine: WinePrefix, name: str):
        self.wine = wine
        self.windows_path = f"C:\\vtest\\{name}"
        self.path = wine.unix_path(self.windows_path)
        shutil.rmtree(self.path, ignore_errors=True)
        self.path.mkdir(parents=True)
        self.programs: list[WineProgram] = []

    def windows_path_of(self, file: Path) -> str:
        return f"{self.windows_path}\\{file.relative_to(self.path)}".replace("/", "\\")

    def install(self, build_file: str) -> str:
        """Copies a built program into the folder; returns its Windows path."""
        return self.windows_path_of(copy_fresh(built(build_file), self.path))

    def write_settings(self, sections: Sections) -> None:
        write_settings(self.path / "vistrel.ini", sections)

    def start(self, program: str, *args: str, capture_stdout: bool = False) -> WineProgram:
        started = WineProgram(self.wine, f"{self.windows_path}\\{program}", args, self.path,
                              capture_stdout)
        self.programs.append(started)
        return started

    def start_saver(self, *args: str) -> WineProgram:
        return self.start("vistrel.scr", *args)

    def kill_all(self) -> None:
        for program in self.programs:
            program.kill()


@pytest.fixture
def folder(request, wine, screen):
    name = re.sub(r"[^A-Za-z0-9]+", "_", request.node.name).strip("_")
    test_folder = TestFolder(wine, name)
    windows_before = screen.visible_windows()
    yield test_folder

    call = getattr(request.node, "report_call", None)
    if call is not None and call.failed:
        SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
        if screen.last_shot is not None:
            screen.last_shot.save(SCREENSHOT_DIR / f"{name}-last-polled.png")
        screen.shot().save(SCREENSHOT_DIR / f"{name}-at-failure.png")
    test_folder.kill_all()
    screen.last_shot = None
    # The next test must start on a bare screen, with no instance running.
    poll(lambda: screen.visible_windows() <= windows_before, 15,
         "the windows of killed programs to disappear")


@pytest.fixture
def saver_folder(folder):
    """A test folder holding vistrel.scr."""
    folder.install("vistrel.scr")
    return folder
