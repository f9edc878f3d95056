#!/usr/bin/python3
"""Writes large test photos for the memory benchmarks: JPEGs of broad
gradients and fine noise, like camera pictures in size and in cost to decode.

    /usr/bin/python3 bench/make_photos.py build/photos 4 6000 4000
"""
from __future__ import annotations

import os
import sys

from PIL import Image


def photo(index: int, width: int, height: int) -> Image.Image:
    """Photo number `index` (from 0); each has a red channel of its own."""
    gradient = Image.linear_gradient("L").resize((width, height))
    noise = Image.effect_noise((width, height), 40 + index * 10)
    red = Image.eval(gradient, lambda v, i=index: (v + i * 60) % 256)
    return Image.merge("RGB", (red, noise, gradient.transpose(Image.Transpose.FLIP_LEFT_RIGHT)))


def write_photos(folder: str, count: int, width: int, height: int) -> list[str]:
    """Writes photo1.jpg ... into `folder`; gives their paths."""
    os.makedirs(folder, exist_ok=True)
    paths = []
    for index in range(count):
        path = os.path.join(folder, f"photo{index + 1}.jpg")
        photo(index, width, height).save(path, quality=90)
        paths.append(path)
    return paths


def main() -> None:
    folder, count, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    for path in write_photos(folder, count, width, height):
        print(path)


if __name__ == "__main__":
    main()
