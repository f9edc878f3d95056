"""Settings files and pictures for the saver under test."""

from __future__ import annotations

from pathlib import Path
from typing import Mapping

from PIL import Image

from harness import SCREEN_HEIGHT, SCREEN_WIDTH
from paths import REPO

Sections = Mapping[str, Mapping[str, str]]

RED = (255, 0, 0)
# Colours in the settings file are RGB with red in the low byte.
RED_SETTING = "255"

SAMPLES_DIR = REPO / "samples"
# A lossless sample, so the picture on screen can be compared pixel for pixel.
SAMPLE_PICTURE = "teal_lagoon.bmp"


def saver_settings(image_paths: list[str], **image_options: str) -> dict[str, dict[str, str]]:
    """A complete settings file as the settings dialog writes it: a still,
    centred slideshow over a red background, without captions or password."""
    image = {
        "randomPick": "0",
        "picSpeed": "2",
        "timeInterval": "0",
        "picRandom": "cent",
        "picChange": "not_ch",
        "effectMode": "0",
        "randomEffect": "0",
    }
    image.update(image_options)
    return {
        "images": {str(i): path for i, path in enumerate(image_paths)},
        "total": {"total": str(len(image_paths))},
        "caption": {str(i): "" for i in range(len(image_paths))},
        "image": image,
        "background": {"newBackColor": RED_SETTING, "backEffect": "0"},
        "password": {"saverPassword": "", "saverEnabled": "0"},
        "font": {
            "newFontName": "Arial",
            "newFontSize": "12",
            "newFontBold": "False",
            "newFontItalic": "False",
            "newFontUnderline": "False",
            "newFontFontStrikethru": "False",
            "newFontForeColor": "16777215",
        },
    }


def write_settings(path: Path, sections: Sections) -> None:
    lines: list[str] = []
    for section, entries in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in entries.items())
        lines.append("")
    path.write_bytes("\r\n".join(lines).encode("ascii"))


def sample_picture(folder: Path) -> Path:
    """The sample picture copied into `folder`; drawn here when the samples
    are missing, with a pattern that has no pure red in it."""
    target = folder / SAMPLE_PICTURE
    source = SAMPLES_DIR / SAMPLE_PICTURE
    if source.exists():
        target.write_bytes(source.read_bytes())
    else:
        picture = Image.new("RGB", (320, 224))
        picture.putdata([(x % 200, (x + y) % 256, 128 + y % 128)
                         for y in range(224) for x in range(320)])
        picture.save(target, format="BMP")
    return target


def centred_box(size: tuple[int, int]) -> tuple[int, int, int, int]:
    """Where a picture of `size` pixels stands when centred on the screen:
    (left, top, right, bottom), right and bottom exclusive."""
    width, height = size
    left = (SCREEN_WIDTH - width) // 2
    top = (SCREEN_HEIGHT - height) // 2
    return left, top, left + width, top + height
