#!/usr/bin/python3
"""Writes large test photos for the memory benchmark: JPEGs of broad
gradients and fine noise, like camera pictures in size and in cost to decode.

    /usr/bin/python3 bench/make_photos.py build/photos 4 6000 4000
"""
import os
import sys

from PIL import Image


def main() -> None:
    folder, count, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    os.makedirs(folder, exist_ok=True)
    for index in range(count):
        gradient = Image.linear_gradient("L").resize((width, height))
        noise = Image.effect_noise((width, height), 40 + index * 10)
        red = Image.eval(gradient, lambda v, i=index: (v + i * 60) % 256)
        photo = Image.merge("RGB", (red, noise, gradient.transpose(Image.Transpose.FLIP_LEFT_RIGHT)))
        path = os.path.join(folder, f"photo{index + 1}.jpg")
        photo.save(path, quality=90)
        print(path)


if __name__ == "__main__":
    main()
