"""Captions that write themselves under Wine: a photo taken on 14 July 2024
in the folder "Crete holiday" shows its day in the user's long date format,
or its folder and file name, and a caption of its own wins. The caption is
read off the screen with tesseract."""

from __future__ import annotations

import pytest
from PIL import Image

from caption_reading import caption_words, words
from harness import FIRST_START_TIMEOUT, poll
from saver_files import saver_settings

PHOTO_FOLDER = "Crete holiday"
PHOTO_NAME = "Balos beach.jpg"


def crete_photo(folder) -> str:
    """A 320 x 200 JPEG with the EXIF dates of a camera: taken (DateTimeOriginal)
    on 14 July 2024, last changed (DateTime) on 2 January 2025."""
    photos = folder.path / PHOTO_FOLDER
    photos.mkdir()
    image = Image.new("RGB", (320, 200))
    image.putdata([(40 + x // 4, 90 + y // 3, 160) for y in range(200) for x in range(320)])
    exif = Image.Exif()
    exif[0x0132] = "2025:01:02 10:00:00"
    exif[0x8769] = {0x9003: "2024:07:14 09:30:00"}
    image.save(photos / PHOTO_NAME, quality=90, exif=exif.tobytes())
    return folder.windows_path_of(photos / PHOTO_NAME)


def start_with(folder, auto_caption: str, caption: str = ""):
    settings = saver_settings([crete_photo(folder)], autoCaption=auto_caption)
    settings["caption"]["0"] = caption
    settings["font"]["newFontSize"] = "24"
    folder.write_settings(settings)
    return folder.start_saver("/s")


def read_caption(screen, expected) -> str:
    """Reads the caption until `expected(words)` holds; returns the words."""
    seen = {"words": ""}

    def matches():
        seen["words"] = caption_words(screen.shot())
        return expected(seen["words"])

    poll(matches, FIRST_START_TIMEOUT, lambda: f"the caption; read {seen['words']!r}")
    return seen["words"]


def test_the_day_taken_in_the_users_long_date_format(saver_folder, screen):
    saver = start_with(saver_folder, "date")
    # "Sunday, July 14, 2024" in English (United States), Wine's locale here;
    # DateTimeOriginal, not the DateTime of 2025.
    read = read_caption(screen, lambda text: "2024" in text.split())
    assert "july" in read.split() and "14" in read.split(), read
    assert "2025" not in read and "holiday" not in read, read
    assert saver.running()


def test_the_folder_and_the_file_name(saver_folder, screen):
    saver = start_with(saver_folder, "folder,file")
    read = read_caption(screen, lambda text: words(PHOTO_FOLDER) in text and "beach" in text)
    assert read.index("crete") < read.index("balos"), read  # the folder first
    assert "jpg" not in read and "2024" not in read, read
    assert saver.running()


def test_a_caption_of_its_own_wins(saver_folder, screen):
    saver = start_with(saver_folder, "date,folder,file", caption="Sunset over the lagoon")
    read = read_caption(screen, lambda text: "sunset over the lagoon" in text)
    assert "2024" not in read and "crete" not in read, read
    assert saver.running()
