"""How the saver presents its pictures under Wine: a crossfade caught
half-way, the blurred fill round a tall picture, and pan and zoom."""

from __future__ import annotations

import time

from PIL import Image

from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, poll
from saver_files import RED, saver_settings

BLUE = (0, 0, 255)
ORANGE = (255, 128, 0)
MIDDLE = (SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)


def write_pictures(folder, pictures: dict[str, Image.Image]) -> list[str]:
    paths = []
    for name, picture in pictures.items():
        picture.save(folder.path / name, format="BMP")
        paths.append(folder.windows_path_of(folder.path / name))
    return paths


def test_half_way_through_a_crossfade_the_middle_is_a_mix_of_both(saver_folder, screen):
    paths = write_pictures(saver_folder, {"red.bmp": Image.new("RGB", (800, 600), RED),
                                          "blue.bmp": Image.new("RGB", (800, 600), BLUE)})
    saver_folder.write_settings(saver_settings(paths, timeInterval="1", effectMode="8"))
    saver_folder.start_saver("/s")

    def mixed(shot):
        red, green, blue = shot.getpixel(MIDDLE)
        return green == 0 and 64 <= red <= 191 and 64 <= blue <= 191

    shot = screen.wait_for(mixed, FIRST_START_TIMEOUT + 20, "the middle half red, half blue")
    # The whole picture blends alike, not a part of it.
    corners = [shot.getpixel((x, y)) for x in (120, 900) for y in (90, 680)]
    assert max(abs(corner[0] - shot.getpixel(MIDDLE)[0]) for corner in corners) <= 2, corners
    # And then the other picture, whole.
    screen.wait_for(lambda shot: shot.getpixel(MIDDLE) in (RED, BLUE), 10, "a picture alone again")


def test_the_blurred_fill_shows_the_picture_round_a_tall_one(saver_folder, screen):
    tall = Image.new("RGB", (200, 700), BLUE)
    tall.paste(Image.new("RGB", (100, 700), ORANGE), (0, 0))
    paths = write_pictures(saver_folder, {"tall.bmp": tall})
    settings = saver_settings(paths)
    settings["background"]["backEffect"] = "2"
    saver_folder.write_settings(settings)
    saver_folder.start_saver("/s")

    shot = screen.wait_for(lambda shot: shot.getpixel((MIDDLE[0] - 50, MIDDLE[1])) == ORANGE,
                           FIRST_START_TIMEOUT + 10, "the tall picture")
    for y in (20, MIDDLE[1], SCREEN_HEIGHT - 20):
        left = shot.getpixel((20, y))
        right = shot.getpixel((SCREEN_WIDTH - 20, y))
        assert left != RED and right != RED, (left, right)
        assert left[0] > left[1] > left[2] and left[0] >= 60, f"orange-ish on the left: {left}"
        assert right[2] > right[0] and right[2] > right[1] and right[2] >= 60, f"blue-ish on the right: {right}"


def mark_columns(shot: Image.Image, row: int) -> list[int]:
    """The left edges of the dark marks along a row."""
    dark = [max(shot.getpixel((x, row))) < 60 for x in range(SCREEN_WIDTH)]
    return [x for x in range(1, SCREEN_WIDTH) if dark[x] and not dark[x - 1]]


def test_pan_and_zoom_moves_two_marks_apart_or_together(saver_folder, screen):
    green = (60, 160, 90)
    picture = Image.new("RGB", (1200, 900), green)
    for x in (300, 900):
        picture.paste(Image.new("RGB", (8, 300), (0, 0, 0)), (x, 300))
    paths = write_pictures(saver_folder, {"marks.bmp": picture})
    saver_folder.write_settings(saver_settings(paths, picRandom="pan", timeInterval="0"))
    saver_folder.start_saver("/s")

    seen: list[tuple[float, int]] = []

    def marks_moved():
        shot = screen.shot()
        now = time.monotonic()
        # The picture still covers the middle of the screen.
        if max(abs(a - b) for a, b in zip(shot.getpixel((MIDDLE[0], 200)), green)) > 24:
            return False
        marks = mark_columns(shot, MIDDLE[1])
        if len(marks) != 2:
            return False
        distance = marks[1] - marks[0]
        seen.append((now, distance))
        return any(abs(distance - earlier) >= 4 and 2.5 <= now - then <= 3.5
                   for then, earlier in seen[:-1])

    poll(marks_moved, FIRST_START_TIMEOUT + 30,
         lambda: f"the marks to move apart or together; distances {seen[-10:]}", interval=0.3)
