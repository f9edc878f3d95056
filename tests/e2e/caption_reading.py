"""The caption at the top of the saver's screen, read off a screenshot with
tesseract (Debian's tesseract-ocr)."""

from __future__ import annotations

import re
import subprocess
import tempfile

from PIL import Image

from harness import SCREEN_WIDTH

# The band at the top of the screen that a caption of up to 24 points takes.
CAPTION_BAND_HEIGHT = 60


def words(text: str) -> str:
    """Lower-case words separated by single blanks: punctuation, the
    caption's " · " separator and line breaks all become blanks."""
    return " ".join(re.findall(r"[a-z0-9]+", text.lower()))


def caption_words(shot: Image.Image) -> str:
    """The words of the light caption in the band at the top of `shot`,
    as tesseract reads them (dark text on white, three times enlarged,
    one line)."""
    band = shot.crop((0, 0, SCREEN_WIDTH, CAPTION_BAND_HEIGHT)).convert("L")
    band = band.point(lambda level: 0 if level > 170 else 255)
    band = band.resize((band.width * 3, band.height * 3), Image.LANCZOS)
    with tempfile.NamedTemporaryFile(suffix=".png") as file:
        band.save(file.name)
        read = subprocess.run(["tesseract", file.name, "stdout", "--psm", "7"], capture_output=True, text=True,
                              timeout=60)
    return words(read.stdout)
