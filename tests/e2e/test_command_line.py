"""The switches other than "/s" and "/c": the preview ends by itself, and
anything the program does not know ends it without a window."""

import pytest
from PIL import Image

from harness import FIRST_START_TIMEOUT, poll
from paths import REPO
from pixels import differs, is_all
from saver_files import sample_picture, saver_settings

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


@pytest.mark.parametrize("switch", ["/p {handle}", "/P:{handle}"])
def test_preview_ends_by_itself(saver_folder, preview_host, switch):
    host, handle, _ = preview_host
    saver = saver_folder.start_saver(*switch.format(handle=handle).split())

    assert saver.wait_exit(30) == 0, saver.stderr()
    assert host.running(), "the preview host went away with the preview"


def test_preview_draws_the_stored_picture_into_the_host(saver_folder, preview_host, screen):
    host, handle, (x, y) = preview_host
    saver = saver_folder.start_saver("/p", str(handle))
    assert saver.wait_exit(30) == 0, saver.stderr()

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
