"""Ending an unprotected saver with real input: a key, a mouse button, a
quick burst of mouse moves; and slow moves over the picture that must not."""

import pytest
from PIL import Image

from pixels import find_picture
from saver_files import centred_box
from saver_windows import ANSWER_TIMEOUT, move_through, press, probe, start_saver, xdotool

PICTURE_TIMEOUT = 20


@pytest.mark.parametrize("key", ["a", "shift", "F1"])
def test_a_key_press_ends_the_saver(saver_folder, screen, key):
    saver, _ = start_saver(saver_folder, screen, protected=False)
    press(screen, key)
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


# 8 and 9 are the side buttons (back and forward) of the X server.
@pytest.mark.parametrize("button", ["1", "3", "8", "9"], ids=["left", "right", "back", "forward"])
def test_a_mouse_click_ends_the_saver(saver_folder, screen, button):
    saver, _ = start_saver(saver_folder, screen, protected=False)
    xdotool(screen, "click", button)
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


def test_a_quick_burst_of_moves_ends_the_saver(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=False)
    # Over the background, away from the edges: the first move only
    # records where the pointer is, the sixth is the fifth counted one.
    move_through(screen, [(100 + 40 * step, 120) for step in range(6)])
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


def test_moving_two_pixels_at_a_time_over_the_picture_does_not_end_the_saver(saver_folder, screen):
    saver, picture_file = start_saver(saver_folder, screen, protected=False)
    with Image.open(picture_file) as image:
        picture = image.convert("RGB")
    box = centred_box(picture.size)
    screen.wait_for(lambda shot: find_picture(shot, picture, box[:2]) is not None, PICTURE_TIMEOUT,
                    f"the picture at {box[:2]}")

    left, top = box[0] + 10, (box[1] + box[3]) // 2
    move_through(screen, [(left + 2 * step, top) for step in range(40)], pause=0.05)
    # The probe's round trip through Wine comes after the moves were taken.
    assert probe(saver_folder).saver.visible
    assert saver.running()

    # The same window still ends on a quick burst, now over the picture.
    move_through(screen, [(left + 80 + 8 * step, top) for step in range(6)])
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()
