"""Questions about screenshots."""

from __future__ import annotations

from typing import Optional

from PIL import Image, ImageChops

Box = tuple[int, int, int, int]
Colour = tuple[int, int, int]


def is_all(region: Image.Image, colour: Colour) -> bool:
    return region.getextrema() == tuple((c, c) for c in colour)


def only_colour_outside(shot: Image.Image, box: Box, colour: Colour, margin: int = 2) -> bool:
    """Every pixel outside `box` (grown by `margin` on each side, to allow for
    rounding of the picture's position) has `colour`."""
    width, height = shot.size
    left, top = max(box[0] - margin, 0), max(box[1] - margin, 0)
    right, bottom = min(box[2] + margin, width), min(box[3] + margin, height)
    bands = [(0, 0, width, top), (0, bottom, width, height),
             (0, top, left, bottom), (right, top, width, bottom)]
    return all(is_all(shot.crop(band), colour)
               for band in bands if band[2] > band[0] and band[3] > band[1])


def largest_difference(a: Image.Image, b: Image.Image) -> int:
    return max(high for _, high in ImageChops.difference(a, b).getextrema())


def find_picture(shot: Image.Image, picture: Image.Image, near: tuple[int, int],
                 tolerance: int = 0, reach: int = 1) -> Optional[tuple[int, int]]:
    """The top-left corner, within `reach` pixels of `near`, at which the
    screenshot shows `picture` (each channel off by at most `tolerance`)."""
    width, height = picture.size
    for dy in range(-reach, reach + 1):
        for dx in range(-reach, reach + 1):
            x, y = near[0] + dx, near[1] + dy
            if largest_difference(shot.crop((x, y, x + width, y + height)), picture) <= tolerance:
                return x, y
    return None


def differs(a: Image.Image, b: Image.Image) -> bool:
    return ImageChops.difference(a, b).getbbox() is not None
