"""Starting the saver with "/s": the screen, the pointer, the first picture,
and the refusal of a second instance."""

import pytest
from PIL import Image

from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, poll
from pixels import find_picture, is_all, only_colour_outside
from saver_files import RED, centred_box, sample_picture, saver_settings

# The first picture comes 0.5 s after the window, then a 0.3 s pause.
PICTURE_TIMEOUT = 20


@pytest.fixture
def red_saver(saver_folder):
    """The folder set up for a red background and one centred picture; gives
    the folder, the box where the picture belongs on screen, and the picture."""
    picture = sample_picture(saver_folder.path)
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(picture)]))
    with Image.open(picture) as image:
        return saver_folder, centred_box(image.size), image.convert("RGB")


def wait_for_red_background(screen, box):
    return screen.wait_for(lambda shot: only_colour_outside(shot, box, RED), FIRST_START_TIMEOUT,
                           "the red background to cover the screen around the picture")


def test_solid_red_background_fills_the_whole_screen(saver_folder, screen):
    # A picture of the background's own colour: the whole screen is red
    # whether or not the slideshow has shown it yet.
    red_picture = saver_folder.path / "red.bmp"
    Image.new("RGB", (64, 48), RED).save(red_picture, format="BMP")
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(red_picture)]))
    saver = saver_folder.start_saver("/s")

    screen.wait_for(lambda shot: is_all(shot, RED), FIRST_START_TIMEOUT, "the whole screen to be red")
    assert saver.running()


@pytest.mark.parametrize("switch", ["/s", "/S"])
def test_saver_covers_the_screen_and_parks_the_pointer(red_saver, screen, switch):
    folder, box, _ = red_saver
    # Away from the corner, so that parking is seen to happen.
    folder.install("set_cursor_pos.exe")
    assert folder.start("set_cursor_pos.exe", "100", "100").wait_exit(FIRST_START_TIMEOUT) == 0
    poll(lambda: screen.pointer() == (100, 100), 5, "the pointer to move to (100, 100)")
    saver = folder.start_saver(switch)

    wait_for_red_background(screen, box)
    corner = (SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1)
    seen = []
    poll(lambda: seen.append(screen.pointer()) or seen[-1] == corner, 5,
         lambda: f"the pointer on the bottom-right pixel {corner}; it is at {seen[-1]}")
    assert saver.running()


def test_first_picture_appears_centred_at_its_own_size(red_saver, screen):
    folder, box, picture = red_saver
    saver = folder.start_saver("/s")

    wait_for_red_background(screen, box)
    shot = screen.wait_for(lambda shot: find_picture(shot, picture, box[:2]) is not None,
                           PICTURE_TIMEOUT, f"the picture at {box[:2]}")
    assert only_colour_outside(shot, box, RED)
    assert saver.running()


def test_second_saver_exits_at_once_and_the_first_keeps_running(red_saver, screen):
    folder, box, _ = red_saver
    first = folder.start_saver("/s")
    wait_for_red_background(screen, box)
    windows_of_first = screen.visible_windows()

    second = folder.start_saver("/s")
    new_windows = set()

    def second_exited_or_showed_a_window():
        new_windows.update(screen.visible_windows() - windows_of_first)
        return not second.running() or new_windows

    poll(second_exited_or_showed_a_window, 20, "the second instance to exit")
    assert not new_windows, f"the second instance showed windows {new_windows}"
    assert second.wait_exit(5) == 0
    assert first.running()
    assert only_colour_outside(screen.shot(), box, RED)
