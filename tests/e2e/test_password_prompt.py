"""A protected saver under Wine: the "Password Protection" prompt, its
message board, and the ways back to the saver and out of the run."""

import pytest
from PIL import Image

from harness import SCREEN_HEIGHT, SCREEN_WIDTH, poll
from pixels import differs, find_picture
from saver_files import centred_box
from saver_windows import (ANSWER_TIMEOUT, PASSWORD, PROMPT_TITLE, move_through, press, start_saver,
                           type_text, wait_for_desktop)

RED = (255, 0, 0)
# Where "INVALID PASSWORD!" stands in the prompt's interior: (210, 2160)
# twips, 3015 x 375, at 15 twips a pixel.
ERROR_LABEL = (14, 144, 14 + 201, 144 + 25)


def bring_up_prompt(folder, screen, key: str = "a"):
    press(screen, key)
    return wait_for_desktop(folder, lambda d: d.prompt_shown(), f'"{PROMPT_TITLE}" on screen')


def red_pixels(shot, box) -> int:
    return sum(1 for pixel in shot.crop(box).getdata() if pixel == RED)


def interior_box(window, box):
    left, top = window.client[:2]
    return left + box[0], top + box[1], left + box[2], top + box[3]


def test_a_key_brings_up_the_prompt_centred_in_front_of_the_saver(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    desktop = bring_up_prompt(saver_folder, screen)

    prompt = desktop.prompt
    left, top, right, bottom = prompt.frame
    assert abs(left - (SCREEN_WIDTH - (right - left)) // 2) <= 1, prompt.frame
    assert abs(top - (SCREEN_HEIGHT - (bottom - top)) // 2) <= 1, prompt.frame
    # 3120 x 2520 twips of interior.
    assert (prompt.client[2] - prompt.client[0], prompt.client[3] - prompt.client[1]) == (208, 168)
    # The saver window still covers the screen, disabled and no longer topmost.
    assert (desktop.saver.visible, desktop.saver.enabled, desktop.saver.topmost) == (True, False, False)
    assert desktop.saver.frame == (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    # The keyboard focus is in the masked password box; the board holds one blank line.
    assert desktop.focus == prompt.edit(masked=True).handle
    assert prompt.edit(masked=False).text == " \r\n"
    # The prompt is drawn over the saver's blue background.
    shot = screen.shot()
    assert shot.getpixel((prompt.client[0] + 4, prompt.client[3] - 4)) != (0, 0, 255)
    assert saver.running()


def test_the_slideshow_goes_on_behind_the_prompt(saver_folder, screen):
    # Two pictures that take turns every second.
    saver, _ = start_saver(saver_folder, screen, protected=True, second_picture=True, timeInterval="1")
    desktop = bring_up_prompt(saver_folder, screen)
    top = desktop.prompt.frame[1]
    # The band above the prompt holds the upper part of the centred pictures.
    first = screen.shot().crop((0, 0, SCREEN_WIDTH, top))
    screen.wait_for(lambda shot: differs(shot.crop((0, 0, SCREEN_WIDTH, top)), first), 20,
                    "the screen above the prompt to change")
    assert wait_for_desktop(saver_folder, lambda d: d.prompt_shown(), "the prompt still up")
    assert saver.running()


def test_a_wrong_password_shows_the_error_in_red(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    prompt = bring_up_prompt(saver_folder, screen).prompt
    error_box = interior_box(prompt, ERROR_LABEL)
    assert red_pixels(screen.shot(), error_box) == 0

    # The stored password with a letter in the wrong case.
    type_text(screen, PASSWORD.lower())
    press(screen, "Return")
    shot = screen.wait_for(lambda shot: red_pixels(shot, error_box) > 50, ANSWER_TIMEOUT,
                           '"INVALID PASSWORD!" in red')
    # Nowhere else in the prompt is there red.
    assert red_pixels(shot, prompt.frame) == red_pixels(shot, error_box)
    assert wait_for_desktop(saver_folder, lambda d: d.prompt_shown(), "the prompt still up")
    assert saver.running()

    # The next character takes the error away.
    type_text(screen, "x")
    screen.wait_for(lambda shot: red_pixels(shot, error_box) == 0, ANSWER_TIMEOUT, "the error to go")


def test_enter_on_the_empty_box_returns_to_the_saver(saver_folder, screen):
    saver, picture_file = start_saver(saver_folder, screen, protected=True)
    # The screen to come back to, once the first picture is on it: on a busy
    # machine it comes well after the background.
    with Image.open(picture_file) as image:
        picture = image.convert("RGB")
    at = centred_box(picture.size)[:2]
    before = screen.wait_for(lambda shot: find_picture(shot, picture, at) is not None, ANSWER_TIMEOUT,
                             f"the first picture at {at}")
    desktop = bring_up_prompt(saver_folder, screen)
    # The pointer is moved away; back at the saver it is parked again.
    move_through(screen, [(200, 200)])
    press(screen, "Return")

    desktop = wait_for_desktop(saver_folder, lambda d: not d.prompt_shown(), "the prompt to go")
    assert (desktop.saver.visible, desktop.saver.enabled, desktop.saver.topmost) == (True, True, True)
    corner = (SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1)
    poll(lambda: screen.pointer() == corner, ANSWER_TIMEOUT, f"the pointer parked at {corner}")
    screen.wait_for(lambda shot: not differs(shot, before), ANSWER_TIMEOUT, "the saver's screen as before")
    assert saver.running()
    # The saver answers input again.
    bring_up_prompt(saver_folder, screen)


def test_a_note_put_away_is_there_at_the_next_prompt(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    bring_up_prompt(saver_folder, screen)
    press(screen, "Tab")
    type_text(screen, "Back at 3")
    press(screen, "Return")
    wait_for_desktop(saver_folder, lambda d: not d.prompt_shown(), "the prompt to go")

    desktop = bring_up_prompt(saver_folder, screen, key="space")
    board = desktop.prompt.edit(masked=False)
    # Typed where the board's caret stood, at its start; Enter broke the line.
    assert board.text == "Back at 3\r\n \r\n"
    assert desktop.focus == board.handle
    assert saver.running()


def test_alt_f4_on_the_prompt_returns_to_the_saver(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    bring_up_prompt(saver_folder, screen)
    type_text(screen, "abc")
    press(screen, "alt+F4")

    desktop = wait_for_desktop(saver_folder, lambda d: not d.prompt_shown(), "the prompt to go")
    assert (desktop.saver.enabled, desktop.saver.topmost) == (True, True)
    assert desktop.prompt is not None, "the prompt was closed instead of hidden"
    assert saver.running()
    # Not stuck: the saver answers the next key with the prompt.
    bring_up_prompt(saver_folder, screen)


def test_the_right_password_ends_the_program(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    bring_up_prompt(saver_folder, screen)
    type_text(screen, PASSWORD)
    press(screen, "Return")
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


def test_an_empty_stored_password_leaves_the_run_unprotected(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True, password="")
    press(screen, "a")
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


def test_the_blocked_windows_key_still_brings_up_the_prompt(saver_folder, screen):
    saver, _ = start_saver(saver_folder, screen, protected=True)
    bring_up_prompt(saver_folder, screen, key="super")
    assert saver.running()
