"""The saver on two monitors side by side, on an Xorg server of its own (the
dummy driver with two RandR outputs): the primary at (0, 0), the second
right of it at (1024, 0), and for one test left of it at (-1024, 0). Wine 8
reports both monitors there, and places windows and copies the desktop
consistently in both arrangements.

These tests run Wine in a prefix of their own, bound to that server, beside
the one the other tests share on Xvfb."""

from __future__ import annotations

import shutil

import pytest
from PIL import Image

from conftest import TestFolder
from harness import (FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, TWO_MONITORS_WIDTH, Screen,
                     TwoMonitorXServer, WinePrefix, poll)
from builds import wine_32_bit_missing
from paths import PREFIX_DIR, SCREENSHOT_DIR
from pixels import find_picture, is_all, only_colour_outside
from saver_files import RED, centred_box, sample_picture, saver_settings
from saver_windows import BLUE, BLUE_SETTING, PASSWORD, wait_for_desktop, xdotool

PICTURE_TIMEOUT = 20
SECOND = (SCREEN_WIDTH, 0, TWO_MONITORS_WIDTH, SCREEN_HEIGHT)  # the second monitor on the X screen


@pytest.fixture(scope="session")
def two_monitor_server():
    missing = [tool for tool in ("Xorg", "xrandr") if shutil.which(tool) is None]
    if missing:
        pytest.skip(f"{' and '.join(missing)} not installed (scripts/install-deps.sh installs them)")
    server = TwoMonitorXServer()
    yield server
    server.stop()


@pytest.fixture(scope="session")
def two_monitor_wine(two_monitor_server):
    prefix = WinePrefix(PREFIX_DIR.with_name("wine-prefix-two-monitors"), two_monitor_server.display)
    prefix.ensure_created(with_32_bit=wine_32_bit_missing() is None)
    prefix.start_server()
    yield prefix
    prefix.stop_server()


@pytest.fixture(scope="session")
def two_screen(two_monitor_server):
    return Screen(two_monitor_server.display)


@pytest.fixture
def wide_folder(request, wine, two_monitor_wine, two_screen, build):
    # `wine` is asked for too: it marks these tests as runs of the build
    # under Wine, so a build that Wine cannot run here is left out.
    name = "two_" + "".join(c if c.isalnum() else "_" for c in request.node.name).strip("_")
    folder = TestFolder(two_monitor_wine, build, name)
    folder.install("vistrel.scr")
    windows_before = two_screen.visible_windows()
    yield folder
    call = getattr(request.node, "report_call", None)
    if call is not None and call.failed:
        SCREENSHOT_DIR.mkdir(parents=True, exist_ok=True)
        two_screen.shot().save(SCREENSHOT_DIR / f"{name}-at-failure.png")
    folder.kill_all()
    poll(lambda: two_screen.visible_windows() <= windows_before, 15,
         "the windows of killed programs to disappear")


def start(folder, pictures: list, background: str = "255", **options: str):
    settings = saver_settings([folder.windows_path_of(p) for p in pictures], **options)
    settings["background"]["newBackColor"] = background
    folder.write_settings(settings)
    return folder.start_saver("/s")


def second_picture(folder):
    path = folder.path / "green.bmp"
    Image.new("RGB", (300, 200), (0, 160, 0)).save(path, format="BMP")
    return path


def shifted(box, dx: int):
    left, top, right, bottom = box
    return left + dx, top, right + dx, bottom


def test_the_saver_covers_both_monitors_and_centres_the_picture_on_the_primary(wide_folder, two_screen):
    picture = sample_picture(wide_folder.path)
    with Image.open(picture) as image:
        box, expected = centred_box(image.size), image.convert("RGB")
    saver = start(wide_folder, [picture])

    shot = two_screen.wait_for(lambda shot: find_picture(shot, expected, box[:2]) is not None
                               and only_colour_outside(shot, box, RED),
                               FIRST_START_TIMEOUT + PICTURE_TIMEOUT,
                               f"red on both monitors, the picture centred on the primary at {box[:2]}")
    assert shot.size == (TWO_MONITORS_WIDTH, SCREEN_HEIGHT)
    assert is_all(shot.crop(SECOND), RED)
    # The pointer waits at the virtual screen's bottom-right corner.
    poll(lambda: two_screen.pointer() == (TWO_MONITORS_WIDTH - 1, SCREEN_HEIGHT - 1), 5,
         lambda: f"the pointer at the far corner; it is at {two_screen.pointer()}")
    assert saver.running()


def test_the_desktop_copy_spans_both_monitors(wide_folder, two_screen):
    wide_folder.install("window_probe.exe")
    bare = two_screen.shot()
    assert not is_all(bare.crop(SECOND), bare.getpixel(SECOND[:2]))  # the painted pattern
    picture = sample_picture(wide_folder.path)
    settings = saver_settings([wide_folder.windows_path_of(picture)])
    settings["background"]["backEffect"] = "1"
    wide_folder.write_settings(settings)
    saver = wide_folder.start_saver("/s")

    # The saver window is up when the pointer is parked; the copy must then
    # show the desktop's pattern on the second monitor, unchanged.
    poll(lambda: two_screen.pointer() == (TWO_MONITORS_WIDTH - 1, SCREEN_HEIGHT - 1), FIRST_START_TIMEOUT,
         "the saver to park the pointer")
    probe_area = (SCREEN_WIDTH + 100, 100, TWO_MONITORS_WIDTH - 100, SCREEN_HEIGHT - 100)
    shot = two_screen.wait_for(lambda shot: shot.crop(probe_area).tobytes() == bare.crop(probe_area).tobytes(),
                               10, "the desktop's pattern on the second monitor")
    # ...drawn by the saver window, which lies over both monitors.
    saver_window = wait_for_desktop(wide_folder, lambda d: any(w.title == "" and w.visible for w in d.windows),
                                    "the saver window").saver
    assert saver_window.frame == (0, 0, TWO_MONITORS_WIDTH, SCREEN_HEIGHT)
    assert saver.running()
    assert shot.crop((100, 100, 200, 200)).tobytes() == bare.crop((100, 100, 200, 200)).tobytes()


def test_a_click_on_the_second_monitor_ends_an_unprotected_run(wide_folder, two_screen):
    picture = sample_picture(wide_folder.path)
    saver = start(wide_folder, [picture], background=BLUE_SETTING)
    two_screen.wait_for(lambda shot: is_all(shot.crop(SECOND), BLUE), FIRST_START_TIMEOUT,
                        "blue over the second monitor")
    xdotool(two_screen, "mousemove", "1600", "400", "click", "1")
    assert saver.wait_exit(15) == 0, saver.stderr()


def test_a_click_on_the_second_monitor_brings_the_prompt_up_centred_on_the_primary(wide_folder, two_screen):
    wide_folder.install("window_probe.exe")
    picture = sample_picture(wide_folder.path)
    settings = saver_settings([wide_folder.windows_path_of(picture)])
    settings["background"]["newBackColor"] = BLUE_SETTING
    settings["password"] = {"saverPassword": PASSWORD, "saverEnabled": "1"}
    wide_folder.write_settings(settings)
    saver = wide_folder.start_saver("/s")
    two_screen.wait_for(lambda shot: is_all(shot.crop(SECOND), BLUE), FIRST_START_TIMEOUT,
                        "blue over the second monitor")
    saver_window = wait_for_desktop(wide_folder, lambda d: any(w.title == "" and w.visible for w in d.windows),
                                    "the saver window").saver
    assert saver_window.frame == (0, 0, TWO_MONITORS_WIDTH, SCREEN_HEIGHT)

    xdotool(two_screen, "mousemove", "1600", "400", "click", "1")
    desktop = wait_for_desktop(wide_folder, lambda d: d.prompt_shown(), "the password prompt")
    left, top, right, bottom = desktop.prompt.frame
    # Centred on the primary monitor, give or take a pixel of rounding.
    assert abs((left + right) - SCREEN_WIDTH) <= 2, desktop.prompt.frame
    assert abs((top + bottom) - SCREEN_HEIGHT) <= 2, desktop.prompt.frame
    assert saver.running()


def test_with_all_monitors_the_second_monitor_shows_a_picture_of_its_own(wide_folder, two_screen):
    first = sample_picture(wide_folder.path)
    second = second_picture(wide_folder)
    with Image.open(first) as image:
        first_box, first_expected = centred_box(image.size), image.convert("RGB")
    with Image.open(second) as image:
        second_box, second_expected = shifted(centred_box(image.size), SCREEN_WIDTH), image.convert("RGB")
    saver = start(wide_folder, [first, second], allMonitors="1")

    two_screen.wait_for(lambda shot: find_picture(shot, first_expected, first_box[:2]) is not None
                        and find_picture(shot, second_expected, second_box[:2]) is not None,
                        FIRST_START_TIMEOUT + PICTURE_TIMEOUT,
                        f"the first picture at {first_box[:2]} and the second at {second_box[:2]}")
    assert saver.running()


@pytest.fixture
def second_left_of_primary(two_monitor_server, two_monitor_wine):
    """The second monitor left of the primary for one test: Windows programs
    see it at (-1024, 0), and the primary lies on the X screen's right half."""
    two_monitor_server.place_second("left-of")
    two_monitor_wine.start_server()
    yield
    two_monitor_server.place_second("right-of")
    two_monitor_wine.start_server()


def test_a_monitor_left_of_the_primary_at_negative_coordinates(second_left_of_primary, wide_folder, two_screen):
    wide_folder.install("window_probe.exe")
    bare = two_screen.shot()
    picture = sample_picture(wide_folder.path)
    with Image.open(picture) as image:
        box, expected = shifted(centred_box(image.size), SCREEN_WIDTH), image.convert("RGB")
    settings = saver_settings([wide_folder.windows_path_of(picture)])
    settings["background"]["backEffect"] = "1"
    wide_folder.write_settings(settings)
    saver = wide_folder.start_saver("/s")

    # The picture centred on the primary, over a copy of the whole desktop
    # that matches it pixel for pixel, the monitor at negative coordinates too.
    def copied_around_the_picture(shot):
        if find_picture(shot, expected, box[:2]) is None:
            return False
        left_monitor = (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
        below = (SCREEN_WIDTH, box[3] + 4, TWO_MONITORS_WIDTH, SCREEN_HEIGHT)
        return all(shot.crop(area).tobytes() == bare.crop(area).tobytes() for area in (left_monitor, below))

    two_screen.wait_for(copied_around_the_picture, FIRST_START_TIMEOUT + PICTURE_TIMEOUT,
                        f"the desktop copy on both monitors and the picture at {box[:2]}")
    saver_window = wait_for_desktop(wide_folder, lambda d: any(w.title == "" and w.visible for w in d.windows),
                                    "the saver window").saver
    assert saver_window.frame == (-SCREEN_WIDTH, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    # The virtual screen's bottom-right corner is the primary's here.
    poll(lambda: two_screen.pointer() == (TWO_MONITORS_WIDTH - 1, SCREEN_HEIGHT - 1), 5,
         lambda: f"the pointer at the far corner; it is at {two_screen.pointer()}")
    assert saver.running()
