"""End-to-end tests: the Windows builds of Vistrel run under Wine on Xvfb.

Run with `/usr/bin/python3 -m pytest tests/e2e` after building the win64
and win32 presets (vistrel.scr and the helper programs beside it). Every
test runs on both builds, named in its id (`test_x[win32]`); `--build win64`
picks one build. Where Wine cannot run 32-bit programs, the tests that run
the win32 build are left out, with one line saying why. Both builds share
one Wine prefix, made once under build/wine-prefix and reused; screenshots
of failed tests go to build/e2e-screenshots/.
"""

from __future__ import annotations

import re
import shutil
from pathlib import Path

import pytest

from builds import BUILDS, Build, wine_32_bit_missing
from harness import Screen, WineProgram, WinePrefix, XServer, copy_fresh, poll
from paths import PREFIX_DIR, SCREENSHOT_DIR
from saver_files import Sections, write_settings


@pytest.fixture(scope="session", params=list(BUILDS))
def build(request) -> Build:
    """The Windows build under test. Session-wide, so pytest runs every test
    on one build before it starts on the other."""
    return BUILDS[request.param]


def built(build: Build, name: str) -> Path:
    path = build.file(name)
    if not path.exists():
        pytest.skip(f"{path} is not built (build the {build.name} preset first)")
    return path


def pytest_addoption(parser):
    parser.addoption("--build", action="append", choices=list(BUILDS),
                     help="run the tests on this build only (may be given twice); both by default")


# Per build left out because Wine cannot run it here: why, and how many tests.
LEFT_OUT = pytest.StashKey[dict[str, tuple[str, int]]]()


@pytest.hookimpl(trylast=True)  # after -k and -m have chosen
def pytest_collection_modifyitems(config, items):
    """Keeps the tests of the builds chosen with --build, and leaves out the
    runs of a build that Wine cannot run here; the tests that only read the
    program files still take it."""
    chosen = config.getoption("build") or list(BUILDS)
    left_out: dict[str, tuple[str, int]] = {}
    kept, dropped = [], []
    for item in items:
        callspec = getattr(item, "callspec", None)
        name = callspec.params.get("build") if callspec else None
        if name is not None and name not in chosen:
            dropped.append(item)
            continue
        reason = BUILDS[name].cannot_run() if name and "wine" in item.fixturenames else None
        if reason:
            left_out[name] = (reason, left_out.get(name, (reason, 0))[1] + 1)
            dropped.append(item)
        else:
            kept.append(item)
    if dropped:
        config.hook.pytest_deselected(items=dropped)
        items[:] = kept
    config.stash[LEFT_OUT] = left_out


def pytest_terminal_summary(terminalreporter, config):
    for name, (reason, count) in config.stash.get(LEFT_OUT, {}).items():
        tests = "test" if count == 1 else "tests"
        terminalreporter.write_line(f"{count} end-to-end {tests} not run on the {name} build: {reason}.",
                                    yellow=True, bold=True)


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
    prefix.ensure_created(with_32_bit=wine_32_bit_missing() is None)
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

    def __init__(self, wine: WinePrefix, build: Build, name: str):
        self.wine = wine
        self.build = build
        self.windows_path = f"C:\\vtest\\{name}"
        self.path = wine.unix_path(self.windows_path)
        shutil.rmtree(self.path, ignore_errors=True)
        self.path.mkdir(parents=True)
        self.programs: list[WineProgram] = []

    def windows_path_of(self, file: Path) -> str:
        return f"{self.windows_path}\\{file.relative_to(self.path)}".replace("/", "\\")

    def install(self, build_file: str) -> str:
        """Copies a program of the build under test into the folder; returns
        its Windows path."""
        return self.windows_path_of(copy_fresh(built(self.build, build_file), self.path))

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


@pytest.fixture(scope="session")
def user_settings_folder(wine) -> Path:
    """%APPDATA%\\Vistrel in the prefix, where the program keeps a user's own
    settings when it may not write beside itself."""
    return wine.unix_path(wine.app_data_folder()) / "Vistrel"


@pytest.fixture
def folder(request, wine, screen, build, user_settings_folder):
    name = re.sub(r"[^A-Za-z0-9]+", "_", request.node.name).strip("_")
    test_folder = TestFolder(wine, build, name)
    # A user's file left by another test would be read before this test's own.
    shutil.rmtree(user_settings_folder, ignore_errors=True)
    windows_before = screen.visible_windows()
    yield test_folder

    call = getattr(request.node, "report_call", None)
    if call is not None and call.failed:
        SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
        if screen.last_shot is not None:
            screen.last_shot.save(SCREENSHOT_DIR / f"{name}-last-polled.png")
        screen.shot().save(SCREENSHOT_DIR / f"{name}-at-failure.png")
    test_folder.kill_all()
    shutil.rmtree(user_settings_folder, ignore_errors=True)
    screen.last_shot = None
    # The next test must start on a bare screen, with no instance running.
    poll(lambda: screen.visible_windows() <= windows_before, 15,
         "the windows of killed programs to disappear")


@pytest.fixture
def saver_folder(folder):
    """A test folder holding vistrel.scr."""
    folder.install("vistrel.scr")
    return folder
