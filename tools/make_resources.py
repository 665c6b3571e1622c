#!/usr/bin/env python3
"""Draws the program's pictures and writes them as Windows resource files.

    tools/make_resources.py [OUTDIR]    (default: resources/ beside this folder)

quenfix.ico  32 x 32, 256 colours: the window icon, a blue disc with a white ring.
logo.bmp     16 x 16, 24 bits: a white letter f on a blue square (the link image).
hand.cur     32 x 32, 16 colours: a pointing hand, hot spot at the top-left corner.
The files are committed; run this again only to change a picture.
"""
import math
import os
import struct
import sys

TRANSPARENT = None


def bitmap_info_header(width, height, bpp, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, 0, 0, 0, colours, 0)


def pack_rows(pixels, width, height, bpp):
    """pixels[y][x] are palette indexes (or RGB tuples for 24 bpp); rows go bottom-up."""
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        if bpp == 24:
            for x in range(width):
                r, g, b = pixels[y][x]
                row += bytes((b, g, r))
        elif bpp == 8:
            row += bytes(pixels[y])
        elif bpp == 4:
            for x in range(0, width, 2):
                row.append((pixels[y][x] << 4) | pixels[y][x + 1])
        elif bpp == 1:
            for x in range(0, width, 8):
                byte = 0
                for bit in range(8):
                    byte |= (pixels[y][x + bit] & 1) << (7 - bit)
                row.append(byte)
        while len(row) % 4:
            row.append(0)
        out += row
    return bytes(out)


def icon_image(image, bpp, palette_size):
    """image[y][x] is an RGB tuple or TRANSPARENT; returns the DIB of an icon entry."""
    size = len(image)
    palette = []
    for row in image:
        for colour in row:
            if colour is not TRANSPARENT and colour not in palette:
                palette.append(colour)
    assert len(palette) <= palette_size, "too many colours"
    palette += [(0, 0, 0)] * (palette_size - len(palette))
    xor = [[0 if c is TRANSPARENT else palette.index(c) for c in row] for row in image]
    mask = [[1 if c is TRANSPARENT else 0 for c in row] for row in image]
    header = bitmap_info_header(size, size * 2, bpp, palette_size)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + pack_rows(xor, size, size, bpp) + pack_rows(mask, size, size, 1)


def icon_file(image, bpp, palette_size, kind, hotspot=(0, 0)):
    """kind 1 is an icon (planes, bit count follow), kind 2 a cursor (hot spot follows)."""
    dib = icon_image(image, bpp, palette_size)
    size = len(image)
    colour_count = palette_size if palette_size < 256 else 0
    if kind == 1:
        fields = (1, bpp)
    else:
        fields = hotspot
    entry = struct.pack("<BBBBHHII", size, size, colour_count, 0, fields[0], fields[1], len(dib), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + dib


def draw_icon():
    size = 32
    blue_dark = (16, 64, 160)
    blue = (40, 110, 220)
    blue_light = (110, 170, 245)
    white = (255, 255, 255)
    gold = (250, 190, 40)
    image = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - 15.5, y - 15.5
            r = math.hypot(dx, dy)
            colour = TRANSPARENT
            if r <= 15:
                colour = blue_light if dx + dy < -12 else (blue if r <= 13.5 else blue_dark)
                if 6 <= r <= 9.5:
                    colour = white
                # The ring's tail, down and to the right: a Q, for Quenfix.
                if 0 <= dx - dy <= 3.5 and 5 <= dx + dy <= 22:
                    colour = gold
            row.append(colour)
        image.append(row)
    return image


def draw_logo():
    blue = (59, 89, 152)
    white = (255, 255, 255)
    art = [
        "................",
        "................",
        ".........wwww...",
        "........wwwww...",
        "........www.....",
        "........www.....",
        "......wwwwwww...",
        "......wwwwwww...",
        "........www.....",
        "........www.....",
        "........www.....",
        "........www.....",
        "........www.....",
        "........www.....",
        "........www.....",
        "................",
    ]
    return [[white if c == "w" else blue for c in line] for line in art]


def draw_hand():
    black = (0, 0, 0)
    white = (255, 255, 255)
    # '#' outline, '.' fill, ' ' transparent; the finger tip lies in columns 4 to 7.
    art = [
        "     ##",
        "    #..#",
        "    #..#",
        "    #..#",
        "    #..#",
        "    #..###",
        "    #..#..###",
        "    #..#..#..##",
        "    #..#..#..#.#",
        " ## #..#..#..#..#",
        " #..#........#..#",
        " #...#..........#",
        "  #..#..........#",
        "   #............#",
        "   #............#",
        "    #...........#",
        "    #..........#",
        "     #.........#",
        "     #........#",
        "      #.......#",
        "      #.......#",
        "      #########",
    ]
    image = [[TRANSPARENT] * 32 for _ in range(32)]
    for y, line in enumerate(art):
        for x, c in enumerate(line):
            if c != " ":
                image[y][x] = black if c == "#" else white
    return image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    with open(os.path.join(outdir, "quenfix.ico"), "wb") as f:
        f.write(icon_file(draw_icon(), 8, 256, kind=1))
    with open(os.path.join(outdir, "hand.cur"), "wb") as f:
        f.write(icon_file(draw_hand(), 4, 16, kind=2, hotspot=(0, 0)))
    logo = draw_logo()
    pixels = pack_rows(logo, 16, 16, 24)
    info = bitmap_info_header(16, 16, 24, 0)
    with open(os.path.join(outdir, "logo.bmp"), "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)))
        f.write(info + pixels)


if __name__ == "__main__":
    main()
