"""The slideshow under Wine: the images in their order and places, the
caption, a transition caught half-way, the float movement, the desktop
snapshot, random order, and an image that has gone missing."""

from __future__ import annotations

import subprocess
from typing import Optional

import pytest
from PIL import Image, ImageChops

from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, poll
from pixels import find_picture, largest_difference
from saver_files import RED, centred_box, saver_settings

GREEN = (0, 200, 0)
BLUE = (0, 0, 255)
# JPEG decoders may differ by a few levels per channel.
JPEG_TOLERANCE = 16


def pattern(size: tuple[int, int], seed: int) -> Image.Image:
    """A picture with no pure red in it and a pattern that tells its
    position to the pixel."""
    width, height = size
    image = Image.new("RGB", size)
    image.putdata([((x * 7 + seed * 50) % 200, (y * 5 + seed * 30) % 256, 60 + (x + y + seed) % 150)
                   for y in range(height) for x in range(width)])
    return image


def smooth(size: tuple[int, int], seed: int) -> Image.Image:
    """A picture of broad gradients, which survives JPEG compression well."""
    width, height = size
    image = Image.new("RGB", size)
    image.putdata([(40 + seed * 40 + x * 100 // width, 60 + y * 150 // height, 200 - seed * 30)
                   for y in range(height) for x in range(width)])
    return image


class Pictures:
    """Pictures written into the test folder, with what each looks like
    after its own format's round trip."""

    def __init__(self, folder):
        self.folder = folder
        self.paths: list[str] = []
        self.looks: list[Image.Image] = []
        self.tolerances: list[int] = []

    def add(self, name: str, image: Image.Image, **save_options) -> str:
        path = self.folder.path / name
        image.save(path, **save_options)
        with Image.open(path) as saved:
            self.looks.append(saved.convert("RGB"))
        self.tolerances.append(JPEG_TOLERANCE if name.endswith(".jpg") else 0)
        self.paths.append(self.folder.windows_path_of(path))
        return self.paths[-1]

    def shown(self, shot: Image.Image) -> Optional[int]:
        """Which picture stands centred on the screen, exactly in place."""
        for index, look in enumerate(self.looks):
            if find_picture(shot, look, centred_box(look.size)[:2], self.tolerances[index], reach=0):
                return index
        return None


def sequence_of(screen, pictures: Pictures, count: int, timeout: float) -> list[int]:
    """The pictures shown one after another, until `count` have been seen."""
    seen: list[int] = []

    def enough():
        index = pictures.shown(screen.shot())
        if index is not None and (not seen or seen[-1] != index):
            seen.append(index)
        return len(seen) >= count

    poll(enough, timeout, lambda: f"{count} pictures in turn; saw {seen}", interval=0.05)
    return seen


def test_pictures_come_in_list_order_each_centred_at_its_own_size(saver_folder, screen):
    pictures = Pictures(saver_folder)
    pictures.add("first.bmp", pattern((200, 150), 1), format="BMP")
    pictures.add("second.gif", pattern((301, 101), 2).convert("P", palette=Image.ADAPTIVE, colors=64), format="GIF")
    pictures.add("third.jpg", smooth((160, 241), 3), format="JPEG", quality=95)
    saver_folder.write_settings(saver_settings(pictures.paths, timeInterval="1", effectMode="0"))
    saver = saver_folder.start_saver("/s")

    assert sequence_of(screen, pictures, 4, FIRST_START_TIMEOUT + 20) == [0, 1, 2, 0]
    assert saver.running()


def caption_bounds(shot: Image.Image, background: Image.Image,
                   band: int = 60) -> Optional[tuple[int, int, int, int]]:
    """The box around everything in the top band that differs from the
    background."""
    box = (0, 0, SCREEN_WIDTH, band)
    return ImageChops.difference(shot.crop(box), background.crop(box)).getbbox()


@pytest.mark.parametrize("background", ["solid", "desktop"])
def test_the_caption_stands_centred_in_the_top_band_and_leaves_nothing_behind(saver_folder, screen, background):
    pictures = Pictures(saver_folder)
    pictures.add("first.bmp", pattern((200, 150), 1), format="BMP")
    pictures.add("second.bmp", pattern((180, 120), 2), format="BMP")
    settings = saver_settings(pictures.paths, timeInterval="2", effectMode="0")
    settings["caption"] = {"0": "A much longer caption for the first picture of all", "1": "Short"}
    settings["font"]["newFontSize"] = "20"
    if background == "desktop":
        settings["background"]["backEffect"] = "1"
        # The desktop the saver copies (the test display's has no flat area).
        reference = screen.shot()
    else:
        reference = Image.new("RGB", (SCREEN_WIDTH, SCREEN_HEIGHT), RED)
    saver_folder.write_settings(settings)
    saver_folder.start_saver("/s")

    def caption_of(index: int, wide: bool):
        def check():
            shot = screen.shot()
            bounds = caption_bounds(shot, reference)
            if pictures.shown(shot) != index or bounds is None:
                return None
            width = bounds[2] - bounds[0]
            return bounds if (width > 400) == wide else None
        return check

    long_bounds = poll(caption_of(0, True), FIRST_START_TIMEOUT + 10, "the long caption over the first picture")
    short_bounds = poll(caption_of(1, False), 20, "the short caption over the second picture")
    for bounds in (long_bounds, short_bounds):
        assert bounds[1] < 10, f"the caption starts at row {bounds[1]}"
        centre = (bounds[0] + bounds[2]) / 2
        assert abs(centre - SCREEN_WIDTH / 2) <= 6, f"caption centred at {centre}"
    # The whole band outside the short caption is background again.
    assert short_bounds[2] - short_bounds[0] < 150


def test_a_left_wipe_caught_half_way(saver_folder, screen):
    pictures = Pictures(saver_folder)
    pictures.add("blue.bmp", Image.new("RGB", (600, 400), BLUE), format="BMP")
    pictures.add("green.bmp", Image.new("RGB", (600, 400), GREEN), format="BMP")
    saver_folder.write_settings(saver_settings(pictures.paths, timeInterval="1", effectMode="1"))
    saver_folder.start_saver("/s")
    left, top, right, bottom = centred_box((600, 400))
    row = (top + bottom) // 2

    def colours_along_the_row(shot):
        return [shot.getpixel((x, row)) for x in range(left, right)]

    def partial(shot):
        # The new picture on the left, the previous one on the right.
        colours = colours_along_the_row(shot)
        if set(colours) != {BLUE, GREEN}:
            return False
        edge = colours.index(BLUE) if colours[0] == GREEN else -1
        return edge > 0 and all(c == GREEN for c in colours[:edge]) and all(c == BLUE for c in colours[edge:])

    shot = screen.wait_for(partial, FIRST_START_TIMEOUT + 20, "a screen half-way through a left wipe")
    # The whole height of the picture is cut at the same column.
    edge = colours_along_the_row(shot).index(BLUE)
    column = shot.crop((left + edge - 1, top, left + edge + 1, bottom))
    assert column.getpixel((0, 0)) == GREEN and column.getpixel((1, 0)) == BLUE
    assert column.getpixel((0, 399)) == GREEN and column.getpixel((1, 399)) == BLUE


def green_box(shot: Image.Image) -> Optional[tuple[int, int, int, int]]:
    mask = Image.new("L", shot.size)
    mask.putdata([255 if pixel == GREEN else 0 for pixel in shot.getdata()])
    return mask.getbbox()


def test_a_floating_picture_moves_diagonally_and_bounces(saver_folder, screen):
    pictures = Pictures(saver_folder)
    # As large as a floating picture is shown (two thirds of the screen), so
    # that it reaches the edges soon: 182 and 134 pixels of room on each side.
    pictures.add("green.bmp", Image.new("RGB", (660, 500), GREEN), format="BMP")
    saver_folder.write_settings(saver_settings(pictures.paths, picRandom="rand", picSpeed="5", timeInterval="0",
                                               effectMode="0"))
    saver_folder.start_saver("/s")
    positions: list[tuple[int, int]] = []

    def bounced_on_both_axes():
        box = green_box(screen.shot())
        if box is None or (box[2] - box[0], box[3] - box[1]) not in {(660, 500)} and not (
                box[0] == 0 or box[1] == 0 or box[2] == SCREEN_WIDTH or box[3] == SCREEN_HEIGHT):
            return False
        positions.append((box[0], box[1]))
        xs = [x for x, _ in positions]
        ys = [y for _, y in positions]
        return turned(xs) and turned(ys)

    def turned(values: list[int]) -> bool:
        steps = [b - a for a, b in zip(values, values[1:]) if b != a]
        return any(a * b < 0 for a, b in zip(steps, steps[1:]))

    poll(bounced_on_both_axes, FIRST_START_TIMEOUT + 30,
         lambda: f"the picture to turn on both axes; positions {positions[-8:]}", interval=0.1)
    # Between two looks the picture moved as far along x as along y.
    moves = [(b[0] - a[0], b[1] - a[1]) for a, b in zip(positions, positions[1:])]
    diagonal = [abs(abs(dx) - abs(dy)) <= 3 for dx, dy in moves if dx and dy and abs(dx) < 40 and abs(dy) < 40]
    assert diagonal and sum(diagonal) >= len(diagonal) * 0.7, moves
    # It keeps to the screen, passing an edge by a pixel at most.
    assert min(x for x, _ in positions) >= -1 and min(y for _, y in positions) >= -1


def test_the_desktop_snapshot_stays_around_the_picture(saver_folder, screen):
    saver_folder.install("preview_host.exe")
    host = saver_folder.start("preview_host.exe", capture_stdout=True)
    host.read_line(FIRST_START_TIMEOUT)
    hx, hy = (int(n) for n in host.read_line(FIRST_START_TIMEOUT).split())
    teal = (0, 128, 128)
    screen.wait_for(lambda shot: shot.getpixel((hx + 10, hy + 10)) == teal, 10, "the host window on screen")

    pictures = Pictures(saver_folder)
    pictures.add("small.bmp", pattern((100, 80), 4), format="BMP")
    settings = saver_settings(pictures.paths)
    settings["background"]["backEffect"] = "1"
    saver_folder.write_settings(settings)
    saver_folder.start_saver("/s")
    screen.wait_for(lambda shot: pictures.shown(shot) == 0, FIRST_START_TIMEOUT + 10, "the picture")

    # The host goes away: what still shows it is the saver's copy of the desktop.
    host.kill()
    shot = screen.wait_for(lambda shot: pictures.shown(shot) == 0, 10, "the picture after the host left")
    assert shot.getpixel((hx + 10, hy + 10)) == teal
    assert shot.getpixel((hx + 150, hy + 100)) == teal


def test_random_order_picks_from_the_list(saver_folder, screen):
    pictures = Pictures(saver_folder)
    for index in range(3):
        pictures.add(f"p{index}.bmp", pattern((150 + 40 * index, 120), index), format="BMP")
    saver_folder.write_settings(saver_settings(pictures.paths, randomPick="1", timeInterval="1", effectMode="0"))
    saver_folder.start_saver("/s")
    seen: list[Optional[int]] = []

    def several_changes():
        shot = screen.shot()
        index = pictures.shown(shot)
        if index is not None:
            seen.append(index)
        return len(set(i for i in seen if i is not None)) >= 2 and len(seen) >= 15

    poll(several_changes, FIRST_START_TIMEOUT + 30, lambda: f"several pictures; saw {seen}", interval=0.2)
    assert set(seen) <= {0, 1, 2}


def read_window(folder, title: str) -> Optional[list[str]]:
    """The texts of the visible window `title` and its controls, or None
    while there is no such window."""
    texts = folder.start("window_texts.exe", title, capture_stdout=True)
    lines = texts.stdout_rest().splitlines()
    return lines if texts.wait_exit(10) == 0 else None


def test_a_deleted_picture_ends_the_run_with_its_message(saver_folder, screen):
    pictures = Pictures(saver_folder)
    path = pictures.add("gone.bmp", pattern((120, 90), 5), format="BMP")
    (saver_folder.path / "gone.bmp").unlink()
    saver_folder.write_settings(saver_settings([path]))
    saver_folder.install("window_texts.exe")
    saver = saver_folder.start_saver("/s")

    lines = poll(lambda: read_window(saver_folder, "Vistrel Screen Saver"), FIRST_START_TIMEOUT + 10,
                 "the message box")
    assert path in lines, lines
    assert any("does not exist! Vistrel Screen Saver will" in line for line in lines), lines
    assert any("not function unless a different image is reloaded." in line for line in lines), lines
    assert saver.running()

    # The box has the keyboard focus: Enter presses its OK button.
    for box in screen.visible_windows("^Vistrel Screen Saver$"):
        subprocess.run(["xdotool", "windowfocus", str(box)], env=screen.env, timeout=10)
    subprocess.run(["xdotool", "key", "Return"], env=screen.env, timeout=10, check=True)
    assert saver.wait_exit(15) == 0
