#!/usr/bin/env python3
"""Draws the program icon, a loudspeaker with two sound waves, and writes it
as a Windows .ico of uncompressed bitmaps: 128x128 at 32 bits; then 48, 32 and
16 pixels at 4 bits, at 8 bits and at 32 bits, in that order.

    tools/make_icon.py resources/ulvex_monitor.ico

Plain Python, no imaging library, so the icon can be rebuilt anywhere."""
import math
import struct
import sys

BODY = (40, 70, 150)
WAVES = (0, 160, 210)
SAMPLES = 4  # per pixel and axis: coverage gives smooth edges


def inside_polygon(x, y, points):
    hit = False
    for i in range(len(points)):
        x1, y1 = points[i]
        x2, y2 = points[i - 1]
        if (y1 > y) != (y2 > y) and x < (x2 - x1) * (y - y1) / (y2 - y1) + x1:
            hit = not hit
    return hit


def paint_at(x, y):
    """The colour at a point of the unit square, or None for background."""
    body = [(0.10, 0.37), (0.30, 0.37), (0.52, 0.16), (0.52, 0.84), (0.30, 0.63), (0.10, 0.63)]
    if inside_polygon(x, y, body):
        return BODY
    dx, dy = x - 0.50, y - 0.50
    if dx > 0 and abs(math.atan2(dy, dx)) < math.radians(48):
        r = math.hypot(dx, dy)
        for radius in (0.19, 0.33):
            if abs(r - radius) < 0.045:
                return WAVES
    return None


def render(size):
    """Rows top to bottom of (r, g, b, coverage 0..255)."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits, total = 0, [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = paint_at((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                    if colour:
                        hits += 1
                        total = [t + c for t, c in zip(total, colour)]
            if hits:
                row.append(tuple(t // hits for t in total) + (255 * hits // (SAMPLES * SAMPLES),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    levels = [0, 51, 102, 153, 204, 255]
    colours = [(r, g, b) for r in levels for g in levels for b in levels]
    colours += [(v, v, v) for v in range(8, 248, 6)][: 256 - len(colours)]
    return colours + [(0, 0, 0)] * (256 - len(colours))


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(rows, size):
    out = b""
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += padded(bytes(bits))
    return out


def image(size, bits):
    rows = render(size)
    header_palette = b""
    pixels = b""
    if bits == 32:
        for row in reversed(rows):
            pixels += b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in row)
    else:
        palette = VGA16 if bits == 4 else palette256()
        header_palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
        for row in reversed(rows):
            indices = [nearest(p[:3], palette) if p[3] >= 128 else 0 for p in row]
            if bits == 4:
                indices += [0] * (len(indices) % 2)
                line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
            else:
                line = bytes(indices)
            pixels += padded(line)
    mask = and_mask(rows, size)
    colours = 0 if bits == 32 else 1 << bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(pixels) + len(mask), 0, 0, colours, 0)
    return header + header_palette + pixels + mask


def main(path):
    formats = [(128, 32)] + [(s, 4) for s in (48, 32, 16)] + [(s, 8) for s in (48, 32, 16)] + \
              [(s, 32) for s in (48, 32, 16)]
    images = [image(size, bits) for size, bits in formats]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for (size, bits), data in zip(formats, images):
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits,
                                 len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
