#!/usr/bin/env python3
"""Compares the window drawn on Windows with the same window drawn on Linux, pixel by pixel.

Windows draws text through its own font engine: besides the glyph edges (anti-aliasing, hinting), its advance
widths are whole pixels, so a text can be a few pixels wider or narrower than on Linux, and what the page places
after a text (the bars after the percentages, the radio buttons after their neighbours' captions) moves with it.
The skin, the controls, the frames and the colours are the same. A pixel differs when one of its channels is off
by more than CHANNEL_SLACK. The pictures pass when they have the same size, at most MAX_DIFFERING of the pixels
differ, and at most MAX_AWAY of them differ away from text, that is farther than GLYPH_REACH pixels from any
pixel that differs from a neighbour (an edge) in either picture. A missing, extra or recoloured control, a blank
or other page, another language: each makes far more pixels differ, or differ away from any edge.

Usage: compare_screenshots.py LINUX.png WINDOWS.png
"""
import struct
import sys
import zlib

CHANNEL_SLACK = 40
MAX_DIFFERING = 0.06
MAX_AWAY = 0.01
GLYPH_REACH = 2


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: not a PNG"
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and not interlace, f"{path}: not 8-bit RGB(A), non-interlaced"
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[i:i + 3]) for i in range(0, stride, channels)])
        previous = line
    return width, height, rows


def far(p, q):
    return max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2])) > CHANNEL_SLACK


def main():
    linux_path, windows_path = sys.argv[1:3]
    w, h, linux = read_png(linux_path)
    w2, h2, windows = read_png(windows_path)
    if (w, h) != (w2, h2):
        print(f"{windows_path}: {w2} x {h2}, the Linux window is {w} x {h}")
        return 1
    def edges(rows):
        return [[any(far(rows[y][x], rows[v][u])
                     for u, v in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)) if 0 <= u < w and 0 <= v < h)
                 for x in range(w)] for y in range(h)]

    linux_edges, windows_edges = edges(linux), edges(windows)
    differing, away = 0, []
    for y in range(h):
        for x in range(w):
            if not far(linux[y][x], windows[y][x]):
                continue
            differing += 1
            near_edge = any(linux_edges[v][u] or windows_edges[v][u]
                            for v in range(max(0, y - GLYPH_REACH), min(h, y + GLYPH_REACH + 1))
                            for u in range(max(0, x - GLYPH_REACH), min(w, x + GLYPH_REACH + 1)))
            if not near_edge:
                away.append((x, y))
    print(f"{windows_path}: {differing / (w * h):.2%} of the pixels differ, {len(away) / (w * h):.2%} away from "
          f"text (at most {MAX_DIFFERING:.0%} and {MAX_AWAY:.0%})")
    if differing > MAX_DIFFERING * w * h or len(away) > MAX_AWAY * w * h:
        print("  away from text, first:", away[:8])
        return 1
    return 0

if __name__ == "__main__":
    sys.exit(main())
