"""The switches other than "/s" and "/c": the preview lives in the host's
window until the host goes, and anything the program does not know ends it
without a window."""

import json
import sys
import time
from pathlib import Path

import pytest
from PIL import Image

from harness import FIRST_START_TIMEOUT, poll
from paths import REPO
from pixels import differs, is_all
from saver_files import sample_picture, saver_settings

sys.path.insert(0, str(REPO / "bench"))
from make_photos import write_photos  # noqa: E402  (the benchmarks' 24-megapixel photos)

HOST_TITLE = "Vistrel preview host"
HOST_COLOUR = (0, 128, 128)


@pytest.fixture
def preview_host(saver_folder, screen):
    """preview_host.exe running, with its window on screen; gives its handle
    and the screen position of its client area."""
    saver_folder.install("preview_host.exe")
    host = saver_folder.start("preview_host.exe", capture_stdout=True)
    handle = int(host.read_line(FIRST_START_TIMEOUT))
    origin = tuple(int(n) for n in host.read_line(FIRST_START_TIMEOUT).split())
    poll(lambda: screen.visible_windows(HOST_TITLE), 10, "the preview host's window")
    screen.wait_for(lambda shot: HOST_COLOUR in {colour for _, colour in shot.getcolors(1 << 16) or []},
                    10, "the preview host's colour on screen")
    return host, handle, origin


def host_children(folder, handle: int) -> dict:
    """The host's client area and the windows inside it, as Windows reports
    them (needs host_children.exe installed in the folder)."""
    program = folder.start("host_children.exe", str(handle), capture_stdout=True)
    assert program.wait_exit(FIRST_START_TIMEOUT) == 0, program.stderr()
    return json.loads(program.stdout_rest())


def living_preview(folder, handle: int):
    """The preview's window in the host, once it covers the host's client
    area: a child window of the program's own class, made by another process
    than the host's. Under Wine what one process draws in a child window of
    another's does not reach the screen, so the window is judged as a window."""
    def found():
        report = host_children(folder, handle)
        for child in report["children"]:
            if (child["class"] == "Vistrel.Window" and child["visible"] and child["rect"] == report["client"]
                    and child["process"] != report["process"]):
                return child
        return None
    return found


@pytest.mark.parametrize("switch,listed", [("/p {handle}", False), ("/P:{handle}", False), ("/p {handle}", True)],
                         ids=["empty-list", "colon", "with-a-list"])
def test_preview_lives_until_the_host_goes(saver_folder, preview_host, screen, switch, listed):
    host, handle, _ = preview_host
    saver_folder.install("host_children.exe")
    saver_folder.install("preview_host.exe")
    if listed:
        picture = sample_picture(saver_folder.path)
        saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(picture)] * 2,
                                                   timeInterval="1", picChange="ch", effectMode="1"))
    started = time.monotonic()
    saver = saver_folder.start_saver(*switch.format(handle=handle).split())
    child = poll(living_preview(saver_folder, handle), FIRST_START_TIMEOUT, "the preview's window in the host")

    # Still there 3 s after the start, with a picture changing in a list.
    poll(lambda: time.monotonic() - started > 3 or None, 10, "3 s to pass")
    assert saver.running(), saver.stderr()
    assert poll(living_preview(saver_folder, handle), 10, "the preview's window")["handle"] == child["handle"]

    # Another window covers the host (a second host, at the same place) and goes.
    cover = saver_folder.start("preview_host.exe", capture_stdout=True)
    int(cover.read_line(FIRST_START_TIMEOUT))
    poll(lambda: len(screen.visible_windows(HOST_TITLE)) >= 2 or None, 10, "the covering window")
    cover.kill()
    poll(lambda: len(screen.visible_windows(HOST_TITLE)) == 1 or None, 10, "the covering window to go")
    assert saver.running(), saver.stderr()
    assert poll(living_preview(saver_folder, handle), 10,
                "the preview's window after the host's repaint")["handle"] == child["handle"]

    # The host goes: the program follows within 2 s.
    host.kill()
    gone = time.monotonic()
    assert saver.wait_exit(10) == 0, saver.stderr()
    assert time.monotonic() - gone < 2, f"the preview ended {time.monotonic() - gone:.1f} s after the host"


def test_preview_draws_the_stored_picture_into_the_host(saver_folder, preview_host, screen):
    host, handle, (x, y) = preview_host
    saver = saver_folder.start_saver("/p", str(handle))

    with Image.open(REPO / "src" / "resources" / "preview.gif") as stored:
        picture = stored.convert("RGB")
    width, height = picture.size

    def drawn(shot):
        block = shot.crop((x, y, x + 160, y + 120))
        # The picture at the top-left; the rest of the 160 x 120 block lies
        # beyond the picture, where the host keeps its own colour.
        return (not differs(block.crop((0, 0, width, height)), picture)
                and is_all(block.crop((width, 0, 160, 120)), HOST_COLOUR)
                and is_all(block.crop((0, height, 160, 120)), HOST_COLOUR))

    screen.wait_for(drawn, 10, "the stored preview picture in the host's top-left corner")


def test_preview_into_a_handle_that_names_no_window_ends_normally(saver_folder):
    saver = saver_folder.start_saver("/p", "987654321")
    assert saver.wait_exit(FIRST_START_TIMEOUT) == 0, saver.stderr()


# An empty command line opens the settings dialog (test_settings_dialog.py).
@pytest.mark.parametrize("args", [["/x"], ["/a"], ["-s"]], ids=["x", "a", "dash-s"])
def test_unknown_switch_exits_without_a_window(saver_folder, screen, args):
    # Settings that would paint the screen red, had the saver started.
    picture = sample_picture(saver_folder.path)
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(picture)]))
    bare_screen = screen.shot()
    assert not is_all(bare_screen, (255, 0, 0))
    windows_before = screen.visible_windows()
    program = saver_folder.start_saver(*args)

    new_windows, screen_changed = {}, []

    def exited_or_showed_something():
        for window in screen.visible_windows() - windows_before:
            new_windows[window] = screen.window_name(window)
        if differs(screen.shot(), bare_screen):
            screen_changed.append(True)
        return not program.running() or new_windows or screen_changed

    poll(exited_or_showed_something, FIRST_START_TIMEOUT, f"vistrel.scr {' '.join(args)} to exit")
    assert not new_windows, f"windows appeared: {new_windows}"
    assert not screen_changed, "something was drawn on the screen"
    assert program.wait_exit(5) == 0, program.stderr()


def test_a_preview_of_24_megapixel_photos_answers_the_host_at_once(saver_folder, preview_host):
    """The photos are decoded off the preview's user-interface thread, so the
    host's messages to the preview's window are answered at once while the
    miniature changes pictures. (Decoded on that thread, one 24-megapixel
    photo held the answers up for about 1.6 s under Wine here; off it, the
    longest wait was about as long as with no pictures at all, some tens of
    milliseconds on a busy machine. The bound lies between the two.)"""
    host, handle, _ = preview_host
    saver_folder.install("host_children.exe")
    saver_folder.install("answer_times.exe")
    photos = write_photos(str(saver_folder.path), 2, 6000, 4000)
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(Path(p)) for p in photos],
                                               timeInterval="1", picChange="ch", effectMode="1"))
    saver = saver_folder.start_saver("/p", str(handle))
    child = poll(living_preview(saver_folder, handle), FIRST_START_TIMEOUT, "the preview's window in the host")

    # Several changes: each picture comes one second after the last is in.
    timing = saver_folder.start("answer_times.exe", str(child["handle"]), "8000", capture_stdout=True)
    assert timing.wait_exit(60) == 0, timing.stderr()
    longest, mean, count = timing.stdout_rest().split()
    assert int(count) > 100
    assert float(longest) < 500, f"the preview took {longest} ms to answer the host (mean {mean} ms)"
    assert saver.running(), saver.stderr()
