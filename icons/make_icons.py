#!/usr/bin/env python3
"""Draws the program's icons: fileopen.xpm, filesave.xpm (16 x 16) and
lights.png (32 x 32). Run from this folder; the results are committed."""
import math
import struct
import zlib

FOLDER = [
    "................",
    "................",
    "..kkkk..........",
    ".kyyyyk.........",
    ".kyyyyykkkkkkk..",
    ".kyyyyyyyyyyyk..",
    ".kyykkkkkkkkkkkk",
    ".kyykoooooooooko",
    ".kykoooooooooko.",
    ".kykooooooooook.",
    ".kkoooooooooko..",
    ".kkooooooooook..",
    ".koooooooooko...",
    ".kkkkkkkkkkkk...",
    "................",
    "................",
]

DISK = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbwwwwwwwwbbk.",
    ".kbbwwwwwwwwbbk.",
    ".kbbwwwwwwwwbbk.",
    ".kbbwwwwwwwwbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbggggggggbbk.",
    ".kbbggkkggggbbk.",
    ".kbbggkkggggbbk.",
    ".kbbggkkggggbbk.",
    ".kbbggggggggbbk.",
    "..kkkkkkkkkkkkk.",
    "................",
    "................",
]

COLOURS = {
    ".": "None",
    "k": "#202020",
    "y": "#f0d060",
    "o": "#d8a830",
    "b": "#3050a0",
    "w": "#f4f4f4",
    "g": "#a0a0a8",
}


def write_xpm(path, name, rows):
    used = sorted({c for row in rows for c in row})
    lines = ["/* XPM */", "static const char *%s[] = {" % name,
             '"%d %d %d 1",' % (len(rows[0]), len(rows), len(used))]
    lines += ['"%s c %s",' % (c, COLOURS[c]) for c in used]
    lines += ['"%s",' % row for row in rows[:-1]] + ['"%s"' % rows[-1], "};"]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_png(path, size, pixel):
    raw = b""
    for y in range(size):
        raw += b"\0" + b"".join(bytes(pixel(x, y)) for x in range(size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def light(x, y):
    """A sun: a yellow disc with eight rays, on a clear ground."""
    cx = cy = 15.5
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if r <= 7.5:
        shade = int(255 - 60 * r / 7.5)
        return (255, shade, 40, 255)
    if r <= 8.5:
        return (170, 110, 20, 255)
    angle = math.atan2(dy, dx) % (math.pi / 4)
    if 10.5 <= r <= 15.0 and min(angle, math.pi / 4 - angle) < 0.16:
        return (240, 170, 30, 255)
    return (0, 0, 0, 0)


write_xpm("fileopen.xpm", "fileopen", FOLDER)
write_xpm("filesave.xpm", "filesave", DISK)
write_png("lights.png", 32, light)
