"""Photos as cameras and phones make them today, under Wine: larger than
the screen, turned by an orientation tag, PNG with transparency, ".jpeg"
files, and files that are damaged or declare absurd sizes."""

from __future__ import annotations

import os
import random
import struct
import time
import zlib
from pathlib import Path
from typing import Optional

from PIL import Image, ImageChops

from dialog_driver import Dialog, pixels
from harness import FIRST_START_TIMEOUT, SCREEN_HEIGHT, SCREEN_WIDTH, poll
from pixels import find_picture, is_all
from saver_files import RED, centred_box, saver_settings
from saver_windows import ANSWER_TIMEOUT, press, type_text, wait_for_desktop

YELLOW = (230, 220, 20)
BLUE = (20, 40, 230)
GREEN = (0, 200, 0)
JPEG_TOLERANCE = 24
ORIENTATION_TAG = 0x0112


def near(pixel, colour, tolerance: int = JPEG_TOLERANCE) -> bool:
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def colour_mask(shot: Image.Image, colour, tolerance: int = JPEG_TOLERANCE) -> Image.Image:
    """255 where a pixel is near `colour`, else 0; done by PIL, not pixel by
    pixel in Python, so that a poll of the screen takes milliseconds."""
    bands = [band.point(lambda v, c=c: 255 if abs(v - c) <= tolerance else 0)
             for band, c in zip(shot.convert("RGB").split(), colour)]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]), bands[2])


def photo_box(shot: Image.Image) -> Optional[tuple[int, int, int, int]]:
    """The box around the yellow and blue pixels of the photo."""
    return ImageChops.lighter(colour_mask(shot, YELLOW), colour_mask(shot, BLUE)).getbbox()


def saver_peak_memory_mb() -> float:
    """The largest peak resident size of the running vistrel.scr processes."""
    peak = 0
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            cmdline = Path(f"/proc/{entry}/cmdline").read_bytes()
            if b"vistrel.scr" not in cmdline:
                continue
            for line in Path(f"/proc/{entry}/status").read_text().splitlines():
                if line.startswith("VmHWM:"):
                    peak = max(peak, int(line.split()[1]))
        except OSError:
            continue
    return peak / 1024


def phone_photo(path: Path, width: int, height: int) -> Path:
    """A photo as a phone stores a portrait one: a landscape frame, blue
    above yellow, with tag 6 ("turn a quarter clockwise"), so that upright
    it stands yellow on the left, blue on the right."""
    stored = Image.new("RGB", (width, height), YELLOW)
    stored.paste(BLUE, (0, 0, width, height // 2))
    exif = Image.Exif()
    exif[ORIENTATION_TAG] = 6
    stored.save(path, format="JPEG", quality=90, exif=exif)
    return path


def test_a_large_photo_tagged_to_turn_is_first_shown_upright_fitted_and_below_its_caption(saver_folder, screen):
    path = phone_photo(saver_folder.path / "phone photo.jpg", 4000, 3000)
    small = saver_folder.path / "second.bmp"
    Image.new("RGB", (100, 80), GREEN).save(small, format="BMP")
    settings = saver_settings([saver_folder.windows_path_of(path), saver_folder.windows_path_of(small)],
                              timeInterval="30", effectMode="0")
    settings["caption"] = {"0": "Upright at last"}
    saver_folder.write_settings(settings)
    saver_folder.start_saver("/s")

    background_at = poll(lambda: time.monotonic() if is_all(screen.shot().crop((0, 0, 8, 8)), RED) else None,
                         FIRST_START_TIMEOUT, "the red background")

    def shown():
        # The photo was on the screen when the shot was taken, not when it
        # has been looked at.
        taken = time.monotonic()
        shot = screen.shot()
        box = photo_box(shot)
        if box is None:
            return None
        # The caption: whatever is not background above the photo.
        caption = ImageChops.difference(shot.crop((0, 0, SCREEN_WIDTH, box[1])),
                                        Image.new("RGB", (SCREEN_WIDTH, box[1]), RED)).getbbox() if box[1] else None
        return (taken, shot, caption, box) if caption else None

    taken, shot, caption, box = poll(shown, 20, "the photo and its caption above it")
    elapsed = taken - background_at
    print(f"first photo {elapsed:.2f} s after the background")
    assert elapsed <= 2.0, f"the first photo came {elapsed:.1f} s after the background"
    left, top, right, bottom = box
    width, height = right - left, bottom - top
    # Portrait, fitted between the caption's band and an equal band at the bottom.
    assert abs(width / height - 0.75) < 0.02, box
    assert top >= caption[3], (box, caption)
    assert SCREEN_HEIGHT - 2 * caption[3] - 4 <= height <= SCREEN_HEIGHT - 2 * caption[3] + 2, (box, caption)
    assert abs((left + right) / 2 - SCREEN_WIDTH / 2) <= 2, box
    assert abs((top + bottom) / 2 - SCREEN_HEIGHT / 2) <= 2, box
    middle = (top + bottom) // 2
    assert near(shot.getpixel((left + width // 4, middle)), YELLOW)
    assert near(shot.getpixel((right - width // 4, middle)), BLUE)


def test_a_transparent_png_and_a_jpeg_file_are_shown(saver_folder, screen):
    png = Image.new("RGBA", (200, 150), GREEN + (255,))
    png.paste((0, 0, 0, 0), (50, 50, 150, 100))  # a transparent window in the middle
    png_path = saver_folder.path / "logo.png"
    png.save(png_path, format="PNG")
    jpeg_path = saver_folder.path / "holiday.jpeg"
    Image.new("RGB", (240, 160), BLUE).save(jpeg_path, format="JPEG", quality=95)
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(png_path),
                                                saver_folder.windows_path_of(jpeg_path)],
                                               timeInterval="1", effectMode="0"))
    saver_folder.start_saver("/s")

    png_look = Image.new("RGB", (200, 150), GREEN)
    png_look.paste(RED, (50, 50, 150, 100))  # the background shows through
    jpeg_look = Image.new("RGB", (240, 160), BLUE)
    seen = set()

    def both():
        shot = screen.shot()
        if find_picture(shot, png_look, centred_box((200, 150))[:2], 0, reach=0):
            seen.add("png")
        if find_picture(shot, jpeg_look, centred_box((240, 160))[:2], JPEG_TOLERANCE, reach=0):
            seen.add("jpeg")
        return len(seen) == 2

    poll(both, FIRST_START_TIMEOUT + 20, lambda: f"both pictures; saw {sorted(seen)}", interval=0.1)


def png_declaring(width: int, height: int) -> bytes:
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(b"\0" * 64)) + \
        chunk(b"IEND", b"")


def jpeg_declaring(width: int, height: int) -> bytes:
    frame = struct.pack(">BHHB", 8, height, width, 3) + b"\x01\x22\x00\x02\x11\x01\x03\x11\x01"
    body = b"\xff\xc0" + struct.pack(">H", len(frame) + 2) + frame
    noise = random.Random(7).randbytes(1300).replace(b"\xff", b"\x00")
    return b"\xff\xd8" + body + b"\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00" + noise


def test_a_protected_run_over_damaged_and_bomb_files_goes_on_and_notes_each_one(saver_folder, screen):
    saver_folder.install("window_probe.exe")
    folder = saver_folder.path
    good_jpeg = folder / "good.jpg"
    Image.new("RGB", (640, 480), BLUE).save(good_jpeg, format="JPEG", quality=90)
    bad = {
        "bomb.jpg": jpeg_declaring(64250, 64250),
        "bomb.png": png_declaring(25200, 33300),
        "truncated.jpg": good_jpeg.read_bytes()[:3000],
        "garbage.jpg": random.Random(3).randbytes(5000),
    }
    for name, data in bad.items():
        (folder / name).write_bytes(data)
    good = folder / "good.bmp"
    Image.new("RGB", (120, 90), GREEN).save(good, format="BMP")
    paths = [saver_folder.windows_path_of(folder / name) for name in bad] + [saver_folder.windows_path_of(good)]
    settings = saver_settings(paths, timeInterval="1", effectMode="0")
    settings["password"] = {"saverPassword": "secret", "saverEnabled": "1"}
    saver_folder.write_settings(settings)
    saver = saver_folder.start_saver("/s")

    look = Image.new("RGB", (120, 90), GREEN)
    for _ in range(2):  # round the whole list twice
        poll(lambda: find_picture(screen.shot(), look, centred_box((120, 90))[:2], 0, reach=0),
             FIRST_START_TIMEOUT + 20, "the one good picture")
        poll(lambda: not find_picture(screen.shot(), look, centred_box((120, 90))[:2], 0, reach=0), 10,
             "the next change")
    assert saver.running()
    assert saver_peak_memory_mb() < 300

    press(screen, "a")
    desktop = wait_for_desktop(saver_folder, lambda d: d.prompt_shown(), "the password prompt")
    board = desktop.prompt.edit(masked=False).text
    for path in paths[:-1]:
        assert f"{path} could not be shown" in board, board
    assert paths[-1] not in board
    type_text(screen, "secret")
    press(screen, "Return")
    assert saver.wait_exit(ANSWER_TIMEOUT) == 0, saver.stderr()


def test_the_dialog_shows_a_tagged_photo_upright_and_its_file_dialog_offers_png(saver_folder, screen):
    path = phone_photo(saver_folder.path / "phone photo.jpg", 1600, 1200)
    saver_folder.write_settings(saver_settings([saver_folder.windows_path_of(path)]))
    dialog = Dialog(saver_folder, screen, saver_folder.start_saver("/c"))
    windows = dialog.wait_shown()
    preview = [w for w in windows if w.fields["class"] == "Vistrel.PictureBox" and w.w == pixels(3375)][0]

    def upright():
        shot = screen.shot().crop((preview.sx, preview.sy, preview.sx + preview.w, preview.sy + preview.h))
        yellow, blue = (mask_box(shot, colour) for colour in (YELLOW, BLUE))
        if not yellow or not blue:
            return None
        # Side by side, yellow on the left, together taller than wide.
        side_by_side = yellow[2] <= blue[0] + 2 and abs(yellow[1] - blue[1]) <= 2 and abs(yellow[3] - blue[3]) <= 2
        portrait = (blue[2] - yellow[0]) < (yellow[3] - yellow[1])
        return (yellow, blue) if side_by_side and portrait else None
    poll(upright, 20, "the thumbnail standing upright, yellow left of blue")

    dialog.click(dialog.by_text(windows, "&Add"))
    boxes = dialog.wait_for_box("Select a file to open")
    # The "Files of type" list, beside the "Look in" one.
    filters = [w for w in boxes if w.fields["class"].lower() == "combobox" and "PNG Files (*.png)" in w.fields.get("items", [])]
    assert len(filters) == 1, [w.fields for w in boxes if w.fields["class"].lower() == "combobox"]
    items = filters[0].items
    assert items[0] == "Image files (*.gif;*.jpg;*.jpeg;*.bmp;*.png;*.tif)", items
    assert "PNG Files (*.png)" in items and "TIFF Files (*.tif;*.tiff)" in items, items
    dialog.key("Escape")
    poll(lambda: not dialog.boxes(), 10, "the file dialog to close")


def mask_box(shot: Image.Image, colour) -> Optional[tuple[int, int, int, int]]:
    return colour_mask(shot, colour).getbbox()
