#!/usr/bin/env python3
"""Build Tillerdock's program icon (.ico) from its text source.

The source draws every image of the icon as text, one character per pixel,
so the picture can be edited in any text editor and reviewed in a diff.
It has two kinds of section:

    [palette]
    k 000000 black          one line per colour: character, RRGGBB, a name
    . transparent           the character for a transparent pixel

    [image]
    ................        one image: N lines of N characters, square,
    .......kk.......        a multiple of 8 wide (16, 24, 32, 48, ...)
    ...

The palette must list exactly 16 colours (their order is the order of the
icon's colour table) and must include black, which transparent pixels use
in the colour plane. Blank lines and lines starting with '#' are ignored.

Each image becomes a 4-bit (16-colour) icon image: a BITMAPINFOHEADER whose
height counts the colour plane and the transparency mask together, the
16-entry colour table, the colour plane (XOR), then the 1-bit transparency
mask (AND), both stored bottom row first with rows padded to 4 bytes.

Usage:
    make_icon.py SOURCE OUTPUT.ico [--preview PREVIEW.png] [--scale N]

--preview also writes a PNG showing every image enlarged side by side on a
checkerboard, so a change to the picture can be looked at without Windows.
"""

import argparse
import os
import struct
import sys
import zlib

COLOUR_COUNT = 16
TRANSPARENT = "transparent"


class SourceError(Exception):
    """A mistake in the icon source, reported with its line number."""


def parse_source(text, name):
    """Return (palette, images): palette is a list of 16 (char, (r, g, b)),
    images a list of (line number, rows), plus the transparent character."""
    palette = []
    transparent_char = None
    images = []
    section = None
    current = None

    for number, raw in enumerate(text.splitlines(), start=1):
        line = raw.rstrip()
        if not line or line.lstrip().startswith("#"):
            continue
        where = f"{name}:{number}"
        if line.startswith("["):
            if line == "[palette]":
                section = "palette"
            elif line == "[image]":
                section = "image"
                current = (number, [])
                images.append(current)
            else:
                raise SourceError(f"{where}: unknown section {line}")
            continue

        if section == "palette":
            fields = line.split()
            if len(fields) < 2 or len(fields[0]) != 1:
                raise SourceError(f"{where}: expected '<char> <RRGGBB|transparent> [name]'")
            char, value = fields[0], fields[1]
            known = {c for c, _ in palette} | ({transparent_char} if transparent_char else set())
            if char in known:
                raise SourceError(f"{where}: character '{char}' is defined twice")
            if value == TRANSPARENT:
                transparent_char = char
            else:
                try:
                    if len(value) != 6:
                        raise ValueError
                    rgb = tuple(int(value[i:i + 2], 16) for i in (0, 2, 4))
                except ValueError:
                    raise SourceError(f"{where}: '{value}' is not a colour RRGGBB") from None
                palette.append((char, rgb))
        elif section == "image":
            current[1].append(line)
        else:
            raise SourceError(f"{where}: text outside a section")

    if len(palette) != COLOUR_COUNT:
        raise SourceError(f"{name}: the palette has {len(palette)} colours, not {COLOUR_COUNT}")
    if transparent_char is None:
        raise SourceError(f"{name}: the palette names no transparent character")
    if not any(rgb == (0, 0, 0) for _, rgb in palette):
        raise SourceError(f"{name}: the palette has no black, needed under transparent pixels")
    if not images:
        raise SourceError(f"{name}: no [image] section")

    valid = {c for c, _ in palette} | {transparent_char}
    sizes = set()
    for first_line, rows in images:
        size = len(rows)
        where = f"{name}:{first_line}"
        if size == 0 or size > 256 or size % 8:
            raise SourceError(f"{where}: an image must be 8 to 256 rows, a multiple of 8; found {size}")
        if size in sizes:
            raise SourceError(f"{where}: a second {size} x {size} image")
        sizes.add(size)
        for offset, row in enumerate(rows, start=1):
            if len(row) != size:
                raise SourceError(
                    f"{name}:{first_line + offset}: row is {len(row)} wide, the image is {size} x {size}"
                )
            bad = set(row) - valid
            if bad:
                raise SourceError(
                    f"{name}:{first_line + offset}: not in the palette: {''.join(sorted(bad))}"
                )
    return palette, transparent_char, [rows for _, rows in images]


def padded(length):
    """Bytes per bitmap row: rows are padded to a multiple of 4 bytes."""
    return (length + 3) & ~3


def icon_image(rows, palette, transparent_char):
    """One icon image: BITMAPINFOHEADER, colour table, XOR plane, AND mask."""
    size = len(rows)
    index = {char: i for i, (char, _) in enumerate(palette)}
    black = next(i for i, (_, rgb) in enumerate(palette) if rgb == (0, 0, 0))

    xor_stride = padded(size // 2)
    and_stride = padded((size + 7) // 8)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom row first
        colours = [black if c == transparent_char else index[c] for c in row]
        line = bytes((colours[x] << 4) | colours[x + 1] for x in range(0, size, 2))
        xor += line.ljust(xor_stride, b"\0")
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            if c == transparent_char:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits

    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        size,  # biWidth
        size * 2,  # biHeight: colour plane and mask together
        1,  # biPlanes
        4,  # biBitCount
        0,  # biCompression: BI_RGB
        len(xor) + len(mask),  # biSizeImage
        0,
        0,  # no resolution
        0,  # biClrUsed: all 16
        0,  # biClrImportant
    )
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in palette)
    return header + table + bytes(xor) + bytes(mask)


def build_ico(palette, transparent_char, images):
    """The .ico file: ICONDIR, one ICONDIRENTRY per image, then the images."""
    images = sorted(images, key=len)  # smallest first
    blobs = [icon_image(rows, palette, transparent_char) for rows in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))  # reserved, type icon, count
    offset = 6 + 16 * len(blobs)
    for rows, blob in zip(images, blobs):
        size = len(rows)
        out += struct.pack(
            "<BBBBHHII",
            size % 256,  # width; 0 stands for 256
            size % 256,  # height
            COLOUR_COUNT,  # colours in the table
            0,  # reserved
            1,  # planes
            4,  # bits per pixel
            len(blob),
            offset,
        )
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def write_preview(path, palette, transparent_char, images, scale):
    """A PNG with every image enlarged, side by side on a checkerboard."""
    colour = dict(palette)
    gap = 2 * scale
    images = sorted(images, key=len)
    width = sum(len(rows) * scale for rows in images) + gap * (len(images) + 1)
    height = max(len(rows) for rows in images) * scale + 2 * gap
    pixels = [[None] * width for _ in range(height)]
    left = gap
    for rows in images:
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                if c == transparent_char:
                    continue
                for dy in range(scale):
                    pixels[gap + y * scale + dy][left + x * scale:left + (x + 1) * scale] = (
                        [colour[c]] * scale
                    )
        left += len(rows) * scale + gap

    raw = bytearray()
    for y, line in enumerate(pixels):
        raw.append(0)  # filter: none
        for x, rgb in enumerate(line):
            if rgb is None:  # checkerboard where nothing is drawn
                light = ((x // (scale * 2)) + (y // (scale * 2))) % 2
                rgb = (0xE8, 0xE8, 0xE8) if light else (0xB8, 0xB8, 0xB8)
            raw += bytes(rgb)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main(argv):
    parser = argparse.ArgumentParser(description="Build the program icon from its text source.")
    parser.add_argument("source", help="icon source text")
    parser.add_argument("output", help="the .ico file to write")
    parser.add_argument("--preview", help="also write an enlarged PNG of every image")
    parser.add_argument("--scale", type=int, default=8, help="enlargement of the preview (default 8)")
    args = parser.parse_args(argv)

    try:
        with open(args.source, encoding="utf-8") as f:
            palette, transparent_char, images = parse_source(f.read(), args.source)
    except (OSError, SourceError) as error:
        print(f"make_icon: {error}", file=sys.stderr)
        return 1

    data = build_ico(palette, transparent_char, images)
    try:
        # Write beside the target and rename, so a failed run never leaves a
        # half-written icon that a build would take as up to date.
        partial = args.output + ".partial"
        with open(partial, "wb") as f:
            f.write(data)
        os.replace(partial, args.output)
        if args.preview:
            write_preview(args.preview, palette, transparent_char, images, max(1, args.scale))
    except OSError as error:
        print(f"make_icon: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
