#!/usr/bin/python3
"""Generate Vistrel's artwork: the control-panel preview picture, the program
icon, the sample images and the sample settings file.

Everything is drawn from code with Pillow and no randomness outside a seeded
generator, so running this again rewrites byte-identical files.

    /usr/bin/python3 tools/make_artwork.py [repository-root]
"""

import io
import math
import random
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

# Shapes are drawn this many times larger and then scaled down, which gives
# smooth anti-aliased edges that ImageDraw cannot produce on its own.
SUPERSAMPLE = 4

FONT_FILES = (
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
)

SAMPLE_DIR_ON_WINDOWS = "C:\\Vistrel\\samples\\"


# ---------------------------------------------------------------- helpers --

def bold_font(size):
    for path in FONT_FILES:
        if Path(path).exists():
            return ImageFont.truetype(path, size)
    return ImageFont.load_default()


def lerp_colour(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def vertical_gradient(size, stops):
    """stops: [(position 0..1, (r, g, b)), ...] sorted by position."""
    width, height = size
    column = Image.new("RGB", (1, height))
    pixels = column.load()
    for y in range(height):
        t = y / max(height - 1, 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                pixels[0, y] = lerp_colour(c0, c1, (t - p0) / max(p1 - p0, 1e-9))
                break
    return column.resize((width, height), Image.Resampling.NEAREST)


def ridge_height(x, width, base, waves):
    """Height (as a fraction of the picture) of a hill line at column x: base
    plus waves, each wave being (amplitude, cycles across the width, phase)."""
    y = base
    for amplitude, cycles, phase in waves:
        y += amplitude * math.sin(2 * math.pi * cycles * x / width + phase)
    return y


def ridge_points(width, height, base, waves, step=4):
    """A closed polygon for a hill: its ridge line and the bottom corners."""
    points = [(0, height)]
    for x in range(0, width + step, step):
        points.append((x, ridge_height(x, width, base, waves) * height))
    points.append((width, height))
    return points


def add_glow(image, centre, radius, colour, strength):
    """Soft radial light, brightest at centre and fading out at radius."""
    falloff = Image.radial_gradient("L").point(
        lambda v: round(max(0, 255 - v * 2) * strength))
    diameter = max(2, int(radius * 2))
    mask = falloff.resize((diameter, diameter), Image.Resampling.BILINEAR)
    light = Image.new("RGB", (diameter, diameter), colour)
    image.paste(light, (int(centre[0] - radius), int(centre[1] - radius)), mask)


def supersampled(size, draw_scene):
    """Call draw_scene(image, scale) on an enlarged canvas, return it scaled
    down to size."""
    big = (size[0] * SUPERSAMPLE, size[1] * SUPERSAMPLE)
    image = draw_scene(big, SUPERSAMPLE)
    return image.resize(size, Image.Resampling.LANCZOS)


def landscape(size, sky, sun, hills, sun_glow=None):
    """A sky gradient, a sun disc and layered hills (back to front)."""
    width, height = size
    image = vertical_gradient(size, sky)
    sun_x, sun_y, sun_r, sun_colour = sun
    cx, cy, r = sun_x * width, sun_y * height, sun_r * height
    if sun_glow:
        add_glow(image, (cx, cy), r * 4, sun_glow, 0.8)
    draw = ImageDraw.Draw(image)
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=sun_colour)
    for colour, base, waves in hills:
        draw.polygon(ridge_points(width, height, base, waves), fill=colour)
    return image


def save_gif(image, path, colours=128):
    # No dithering: smooth gradients quantize to clean bands that stay small.
    paletted = image.convert("RGB").quantize(
        colors=colours, method=Image.Quantize.MEDIANCUT,
        dither=Image.Dither.NONE)
    paletted.save(path, "GIF", optimize=False)


# ------------------------------------------------------- preview picture --

def make_preview(path):
    """The control panel's little preview window: a framed landscape on a
    dark screen with a caption bar, like a slide being shown."""
    size = (151, 119)

    def scene(big, s):
        image = Image.new("RGB", big, (16, 19, 26))
        draw = ImageDraw.Draw(image)
        frame_box = (10 * s, 7 * s, 141 * s, 88 * s)
        draw.rectangle(frame_box, fill=(236, 232, 220))
        inner = (13 * s, 10 * s, 138 * s, 85 * s)
        picture = landscape(
            (inner[2] - inner[0], inner[3] - inner[1]),
            sky=[(0.0, (52, 98, 178)), (0.55, (236, 150, 96)),
                 (1.0, (250, 214, 140))],
            sun=(0.70, 0.42, 0.13, (255, 236, 170)),
            sun_glow=(255, 200, 120),
            hills=[
                ((112, 84, 128), 0.62, [(0.06, 1.3, 0.4), (0.03, 3.1, 1.0)]),
                ((58, 110, 84), 0.74, [(0.05, 1.1, 2.2), (0.02, 4.0, 0.3)]),
                ((30, 72, 58), 0.86, [(0.04, 1.7, 4.0), (0.015, 5.0, 1.5)]),
            ])
        image.paste(picture, inner[:2])
        return image

    image = supersampled(size, scene)
    # The caption is drawn at final size so the letters stay crisp.
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((38, 96, 112, 112), radius=4, fill=(44, 52, 70))
    font = bold_font(11)
    draw.text((75, 104), "Vistrel", font=font, fill=(255, 255, 255),
              anchor="mm")
    save_gif(image, path, colours=128)


# ------------------------------------------------------------------ icon --

def icon_picture(pixels):
    """One icon size: a gilded frame holding a sunny landscape, with a second
    slide peeking out behind it. At 16 px the back slide is left out because
    it turns into noise."""
    show_back_slide = pixels >= 32

    def scene(big, s):
        n = big[0]
        image = Image.new("RGBA", big, (0, 0, 0, 0))
        draw = ImageDraw.Draw(image)
        unit = n / 32.0
        if show_back_slide:
            back = (9 * unit, 2 * unit, 31 * unit, 22 * unit)
            draw.rounded_rectangle(back, radius=2 * unit, fill=(60, 90, 150, 255),
                                   outline=(230, 230, 240, 255),
                                   width=max(1, round(1.5 * unit)))
            front = (1 * unit, 9 * unit, 25 * unit, 30 * unit)
        else:
            # Whole-pixel edges at 16 px keep the frame sharp.
            front = (0, 4 * unit, 32 * unit, 28 * unit)
        border = 3.5 * unit if show_back_slide else 4 * unit
        draw.rounded_rectangle(front, radius=2 * unit, fill=(176, 118, 40, 255))
        if show_back_slide:  # a gilded inner edge; just a smudge at 16 px
            draw.rounded_rectangle(
                (front[0] + unit * 0.8, front[1] + unit * 0.8,
                 front[2] - unit * 0.8, front[3] - unit * 0.8),
                radius=1.5 * unit, outline=(238, 190, 92, 255),
                width=max(1, round(unit)))
        inner = tuple(round(v) for v in (front[0] + border, front[1] + border,
                                         front[2] - border, front[3] - border))
        picture = landscape(
            (inner[2] - inner[0], inner[3] - inner[1]),
            sky=[(0.0, (40, 120, 220)), (1.0, (150, 210, 250))],
            sun=(0.72, 0.32, 0.20, (255, 220, 60)),
            hills=[((40, 160, 70), 0.70, [(0.10, 0.8, 0.5)]),
                   ((20, 110, 50), 0.85, [(0.06, 1.2, 2.5)])])
        image.paste(picture, inner[:2])
        return image

    return without_faint_pixels(supersampled((pixels, pixels), scene))


def without_faint_pixels(image):
    """Scaling down leaves nearly invisible specks with stray colours around
    the edges; make them fully transparent black so no loader shows them."""
    alpha = image.getchannel("A").point(lambda a: 0 if a < 8 else a)
    clean = Image.new("RGBA", image.size, (0, 0, 0, 0))
    clean.paste(image, (0, 0), alpha.point(lambda a: 255 if a else 0))
    clean.putalpha(alpha)
    return clean


def ico_bitmap_entry(image):
    """A classic 32-bit DIB icon image: BITMAPINFOHEADER with doubled height,
    bottom-up BGRA rows, then the 1-bit AND mask that older loaders need."""
    width, height = image.size
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         width * height * 4, 0, 0, 0, 0)
    rgba = image.tobytes("raw", "BGRA")
    rows = [rgba[y * width * 4:(y + 1) * width * 4] for y in range(height)]
    colour = b"".join(reversed(rows))
    alpha = image.getchannel("A")
    mask_stride = ((width + 31) // 32) * 4
    mask_rows = []
    for y in range(height):
        bits = bytearray(mask_stride)
        for x in range(width):
            if alpha.getpixel((x, y)) < 128:  # as a 1-bit mask would see it
                bits[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(bits))
    return header + colour + b"".join(reversed(mask_rows))


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, "PNG", optimize=True)
    return buffer.getvalue()


def make_icon(path):
    """Writes the .ico by hand so the small sizes are classic bitmaps (read
    everywhere) and only the 256 px one is PNG-compressed."""
    entries = []
    for pixels in (16, 32, 48, 256):
        image = icon_picture(pixels)
        data = png_bytes(image) if pixels == 256 else ico_bitmap_entry(image)
        entries.append((pixels, data))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for pixels, data in entries:
        side = pixels if pixels < 256 else 0  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data),
                           offset)
        offset += len(data)
    out += b"".join(data for _, data in entries)
    Path(path).write_bytes(out)


# --------------------------------------------------------- sample images --
# Each sample has its own strong dominant hue so it can be told apart on
# screen: magenta, green, blue, yellow, cyan and red.

def dusk_mountains():
    """800x600, magenta: a pink dusk behind purple mountain ridges."""
    def scene(big, s):
        return landscape(
            big,
            sky=[(0.0, (90, 20, 90)), (0.45, (210, 60, 150)),
                 (0.75, (250, 130, 190)), (1.0, (255, 190, 220))],
            sun=(0.30, 0.50, 0.07, (255, 225, 240)),
            sun_glow=(255, 150, 210),
            hills=[
                ((160, 50, 130), 0.58, [(0.08, 2.0, 0.3), (0.03, 7.0, 1.1)]),
                ((120, 30, 110), 0.70, [(0.06, 1.5, 2.0), (0.02, 9.0, 0.2)]),
                ((70, 15, 70), 0.84, [(0.05, 2.5, 4.1), (0.015, 11.0, 2.0)]),
            ])
    return supersampled((800, 600), scene)


def forest_hills():
    """640x480, green: rolling green hills with round trees along the ridges."""
    far_hills = [((110, 180, 80), 0.50, [(0.05, 1.2, 0.8)]),
                 ((60, 150, 60), 0.64, [(0.06, 1.6, 2.4)])]
    near_hill = ((30, 110, 40), 0.80, [(0.05, 2.2, 0.1)])

    def trees_on(draw, size, hill, colour, radius, rng):
        width, height = size
        _, base, waves = hill
        x = rng.uniform(0, radius)
        while x < width + radius:
            y = (ridge_height(x, width, base, waves) + 0.012) * height
            draw.ellipse((x - radius, y - radius * 1.5, x + radius, y + radius),
                         fill=colour)
            x += radius * rng.uniform(1.6, 3.2)

    def scene(big, s):
        width, height = big
        rng = random.Random(7)
        image = landscape(
            big,
            sky=[(0.0, (150, 210, 150)), (1.0, (220, 245, 200))],
            sun=(0.80, 0.18, 0.06, (250, 255, 220)),
            sun_glow=(240, 255, 200),
            hills=far_hills)
        draw = ImageDraw.Draw(image)
        trees_on(draw, big, far_hills[1], (35, 115, 45), 0.022 * height, rng)
        colour, base, waves = near_hill
        draw.polygon(ridge_points(width, height, base, waves), fill=colour)
        trees_on(draw, big, near_hill, (15, 75, 25), 0.035 * height, rng)
        return image
    return supersampled((640, 480), scene)


def ocean_night():
    """1600x1000 (larger than a 1024x768 screen), blue: a moonlit sea."""
    def scene(big, s):
        width, height = big
        image = vertical_gradient(
            big, [(0.0, (5, 15, 60)), (0.55, (30, 70, 170)),
                  (0.56, (10, 40, 130)), (1.0, (3, 15, 70))])
        moon = (0.68 * width, 0.22 * height, 0.06 * height)
        add_glow(image, moon[:2], moon[2] * 5, (90, 140, 255), 0.6)
        draw = ImageDraw.Draw(image)
        draw.ellipse((moon[0] - moon[2], moon[1] - moon[2],
                      moon[0] + moon[2], moon[1] + moon[2]),
                     fill=(225, 235, 255))
        rng = random.Random(11)
        for _ in range(90):  # stars
            x, y = rng.uniform(0, width), rng.uniform(0, 0.45 * height)
            r = rng.uniform(1.0, 2.2) * s
            draw.ellipse((x - r, y - r, x + r, y + r), fill=(200, 215, 255))
        for i in range(26):  # moonlight on the waves
            y = (0.58 + i * 0.016) * height
            half = (0.015 + i * 0.006) * width
            draw.rounded_rectangle(
                (moon[0] - half, y, moon[0] + half, y + 0.004 * height),
                radius=0.002 * height, fill=(120, 160, 240))
        return image
    return supersampled((1600, 1000), scene)


def golden_dunes():
    """400x300 GIF, yellow: sand dunes under a hot pale sky."""
    def scene(big, s):
        return landscape(
            big,
            sky=[(0.0, (250, 215, 60)), (1.0, (255, 245, 170))],
            sun=(0.22, 0.25, 0.09, (255, 255, 230)),
            sun_glow=(255, 250, 200),
            hills=[
                ((235, 190, 40), 0.55, [(0.07, 1.0, 1.2), (0.02, 2.5, 0.4)]),
                ((215, 165, 20), 0.68, [(0.08, 1.4, 3.0), (0.02, 3.0, 1.0)]),
                ((190, 140, 10), 0.83, [(0.06, 0.9, 5.0), (0.02, 4.0, 2.0)]),
            ])
    return supersampled((400, 300), scene)


def teal_pattern():
    """320x224 BMP, cyan: overlapping ripple rings on a lagoon."""
    def scene(big, s):
        width, height = big
        image = vertical_gradient(big, [(0.0, (0, 150, 160)),
                                        (1.0, (0, 95, 120))])
        draw = ImageDraw.Draw(image)
        centres = ((0.25, 0.35), (0.70, 0.60), (0.45, 0.85), (0.90, 0.15))
        for cx, cy in centres:
            for ring in range(9, 0, -1):
                r = ring * 0.045 * width
                shade = (0, 170 + ring * 8, 180 + ring * 7)
                draw.ellipse((cx * width - r, cy * height - r,
                              cx * width + r, cy * height + r),
                             outline=shade, width=2 * s)
        return image
    return supersampled((320, 224), scene)


def red_mosaic():
    """200x150 .dib, red: a mosaic of triangles in reds and crimsons."""
    def scene(big, s):
        width, height = big
        image = Image.new("RGB", big, (170, 20, 30))
        draw = ImageDraw.Draw(image)
        rng = random.Random(3)
        cell = 25 * s
        for gy in range(0, height, cell):
            for gx in range(0, width, cell):
                corners = [(gx, gy), (gx + cell, gy),
                           (gx + cell, gy + cell), (gx, gy + cell)]
                for half in ((0, 1, 2), (0, 2, 3)):
                    shade = rng.randint(0, 70)
                    colour = (185 + shade // 2, 15 + shade // 3, 25 + shade // 3)
                    draw.polygon([corners[i] for i in half], fill=colour)
        return image
    return supersampled((200, 150), scene)


def autumn_phone_photo():
    """3000x4000 upright, orange: a portrait photo as a phone stores it, a
    4000x3000 landscape frame with an orientation tag that says to turn it
    a quarter clockwise. Larger than any screen, so it is shown fitted.
    Drawn at its full size without supersampling: the saver's reduction
    smooths its edges."""
    upright = landscape(
        (3000, 4000),
        sky=[(0.0, (120, 40, 10)), (0.40, (230, 110, 30)),
             (0.70, (250, 170, 70)), (1.0, (255, 215, 150))],
        sun=(0.62, 0.42, 0.05, (255, 240, 200)),
        hills=[
            ((200, 90, 30), 0.60, [(0.05, 1.5, 0.4), (0.02, 6.0, 1.3)]),
            ((150, 60, 20), 0.72, [(0.04, 2.0, 2.2), (0.015, 8.0, 0.5)]),
            ((90, 35, 15), 0.86, [(0.05, 1.2, 3.7), (0.02, 10.0, 1.9)]),
        ])
    return upright.transpose(Image.Transpose.ROTATE_90)  # as stored: turned back


ORIENTATION_TAG = 0x0112


# Order matters: it is the order of the [images] and [caption] sections.
# The golden dunes deliberately have no caption.
SAMPLES = (
    ("dusk_mountains.jpg", dusk_mountains, "Dusk over the mountains"),
    ("forest_hills.jpg", forest_hills, "Green forest hills"),
    ("ocean_night.jpg", ocean_night, "Moonlight on the ocean"),
    ("golden_dunes.gif", golden_dunes, ""),
    ("teal_lagoon.bmp", teal_pattern, "Lagoon ripples"),
    ("red_mosaic.dib", red_mosaic, "Red mosaic"),
    ("autumn_phone_photo.jpg", autumn_phone_photo, "A phone photo, turned upright and fitted"),
)


def save_sample(image, path):
    suffix = path.suffix.lower()
    if path.name == "autumn_phone_photo.jpg":
        exif = Image.Exif()
        exif[ORIENTATION_TAG] = 6
        image.save(path, "JPEG", quality=85, optimize=True, exif=exif)
    elif suffix == ".jpg":
        image.save(path, "JPEG", quality=85, optimize=True)
    elif suffix == ".gif":
        save_gif(image, path, colours=64)
    else:  # .bmp and .dib are both plain 24-bit Windows bitmaps
        image.convert("RGB").save(path, "BMP")


def make_samples(sample_dir):
    sample_dir.mkdir(parents=True, exist_ok=True)
    for file_name, draw_sample, _ in SAMPLES:
        save_sample(draw_sample(), sample_dir / file_name)


# -------------------------------------------------------- sample settings --

def make_settings(path):
    sections = [
        ("images", [(str(i), SAMPLE_DIR_ON_WINDOWS + name)
                    for i, (name, _, _) in enumerate(SAMPLES)]),
        ("total", [("total", str(len(SAMPLES)))]),
        ("caption", [(str(i), caption)
                     for i, (_, _, caption) in enumerate(SAMPLES)]),
        ("image", [("randomPick", "0"), ("picSpeed", "3"),
                   ("timeInterval", "6"), ("picRandom", "cent"),
                   ("picChange", "ch"), ("effectMode", "0"),
                   ("randomEffect", "1")]),
        ("background", [("newBackColor", "0"), ("backEffect", "0")]),
        ("password", [("saverPassword", ""), ("saverEnabled", "0")]),
        ("font", [("newFontName", "Arial"), ("newFontSize", "20"),
                  ("newFontBold", "True"), ("newFontItalic", "False"),
                  ("newFontUnderline", "False"),
                  ("newFontFontStrikethru", "False"),
                  ("newFontForeColor", "16777215")]),
    ]
    blocks = []
    for name, keys in sections:
        lines = ["[%s]" % name] + ["%s=%s" % kv for kv in keys]
        blocks.append("\r\n".join(lines) + "\r\n")
    Path(path).write_bytes("\r\n".join(blocks).encode("ascii"))


def make_readme(path):
    Path(path).write_text(
        "Sample pictures and settings (vistrel.ini) for trying out Vistrel.\n"
        "They are generated, not hand-made: run tools/make_artwork.py to"
        " rebuild them.\n")


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent
    resources = root / "src" / "resources"
    samples = root / "samples"
    resources.mkdir(parents=True, exist_ok=True)
    make_preview(resources / "preview.gif")
    make_icon(resources / "vistrel.ico")
    make_samples(samples)
    make_settings(samples / "vistrel.ini")
    make_readme(samples / "README.md")


if __name__ == "__main__":
    main()
