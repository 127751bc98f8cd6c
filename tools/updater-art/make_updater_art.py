#!/usr/bin/env python3
"""Draws the download button's picture and the program's icon: a blue and green globe with a
large green arrow pointing down in front of its lower half.

Writes, relative to the repository root:
  app/resources/download_globe.bmp   32 x 32, 16 bits per pixel (5-5-5 bit fields), white background
  app/resources/zorvane-updater.ico  48, 32, 24 and 16 pixels, each in 16 colours, 256 colours
                                     and 32-bit colour with alpha

Standard library only; the output is committed, so the build never runs this.
"""
import math
import os
import struct

SUPERSAMPLE = 4


def shade(x, y):
    """Colour (r, g, b) and coverage of the picture at (x, y) in a 1 x 1 square, or None."""
    # The arrow lies in front of the globe's lower half.
    ax, shaft_top, shaft_bottom, shaft_half, head_half, tip = 0.5, 0.40, 0.70, 0.11, 0.27, 0.97
    in_shaft = abs(x - ax) <= shaft_half and shaft_top <= y <= shaft_bottom
    in_head = shaft_bottom <= y <= tip and abs(x - ax) <= head_half * (tip - y) / (tip - shaft_bottom)
    if in_shaft or in_head:
        edge = in_shaft and (abs(x - ax) > shaft_half - 0.035 or y < shaft_top + 0.035)
        edge = edge or (in_head and abs(x - ax) > head_half * (tip - y) / (tip - shaft_bottom) - 0.05)
        if edge:
            return (0, 100, 0)
        glow = 1.0 - abs(x - ax) / head_half
        return (40, int(150 + 90 * glow), 40)
    cx, cy, radius = 0.5, 0.44, 0.40
    dx, dy = (x - cx) / radius, (y - cy) / radius
    d = math.hypot(dx, dy)
    if d > 1.0:
        return None
    if d > 0.93:
        return (10, 40, 120)
    # Continents: a few soft blobs; the rest is ocean, lit from the upper left.
    land = 0.0
    for bx, by, br in ((-0.35, -0.35, 0.35), (0.30, -0.10, 0.30), (-0.10, 0.35, 0.28),
                       (0.45, 0.45, 0.20)):
        land = max(land, 1.0 - math.hypot(dx - bx, dy - by) / br)
    light = max(0.35, 1.0 - 0.6 * math.hypot(dx + 0.4, dy + 0.4))
    # Meridian and parallel lines.
    if abs(dx) < 0.04 or abs(dy) < 0.04 or abs(math.hypot(dx * 1.9, dy) - 1.0) < 0.05:
        return (int(170 * light), int(210 * light), 255)
    if land > 0.0:
        return (int(30 * light), int(170 * light), int(40 * light))
    return (int(30 * light), int(90 * light), int(220 * light))


def render(size):
    """Rows of (r, g, b, alpha) pixels, top row first; alpha is the covered share of the pixel."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total, covered = [0, 0, 0], 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    c = shade((px + (sx + 0.5) / SUPERSAMPLE) / size,
                              (py + (sy + 0.5) / SUPERSAMPLE) / size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            n = SUPERSAMPLE * SUPERSAMPLE
            if covered:
                row.append((total[0] // covered, total[1] // covered, total[2] // covered,
                            255 * covered // n))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def on_white(pixel):
    r, g, b, a = pixel
    return tuple((c * a + 255 * (255 - a)) // 255 for c in (r, g, b))


def button_bitmap():
    """32 x 32, 16 bits per pixel with bit-field masks; bottom-up rows of 64 bytes."""
    rows = render(32)
    pixels = bytearray()
    for row in reversed(rows):
        for pixel in row:
            r, g, b = on_white(pixel) if pixel[3] else (255, 255, 255)
            pixels += struct.pack('<H', ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
    assert len(pixels) == 2048
    info = struct.pack('<IiiHHIIiiII', 40, 32, 32, 1, 16, 3, len(pixels), 3780, 3780, 0, 0)
    masks = struct.pack('<III', 0x7C00, 0x03E0, 0x001F)
    offset = 14 + len(info) + len(masks)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + masks + bytes(pixels)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE256 = CUBE + [(i * 255 // 39, i * 255 // 39, i * 255 // 39) for i in range(40)]


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def icon_image(size, bits):
    """One icon image: a bitmap of double height, colour rows then the transparency mask."""
    rows = render(size)
    colour = bytearray()
    palette = {4: VGA16, 8: PALETTE256}.get(bits)
    for row in reversed(rows):
        line = bytearray()
        if bits == 32:
            for r, g, b, a in row:
                line += bytes((b, g, r, a))
        else:
            indices = [nearest(palette, p[:3]) if p[3] >= 128 else 0 for p in row]
            if bits == 8:
                line += bytes(indices)
            else:
                for i in range(0, size, 2):
                    line.append((indices[i] << 4) | (indices[i + 1] if i + 1 < size else 0))
        line += bytes(row_bytes(bits, size) - len(line))
        colour += line
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(1, size))
        for x, p in enumerate(row):
            if p[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    colours_used = len(palette) if palette else 0
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, len(colour) + len(mask),
                       0, 0, colours_used, 0)
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette) if palette else b''
    return info + table + bytes(colour) + bytes(mask), colours_used


def icon_file():
    images = []
    for size in (48, 32, 24, 16):
        for bits in (4, 8, 32):
            data, colours = icon_image(size, bits)
            images.append((size, bits, colours, data))
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b'', b''
    for size, bits, colours, data in images:
        entries += struct.pack('<BBBBHHII', size, size, colours if colours < 256 else 0, 0, 1,
                               bits, len(data), offset + len(blobs))
        blobs += data
    return directory + entries + blobs


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(__file__), '..', '..'))
    out = os.path.join(root, 'app', 'resources')
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, 'download_globe.bmp'), 'wb') as f:
        f.write(button_bitmap())
    with open(os.path.join(out, 'zorvane-updater.ico'), 'wb') as f:
        f.write(icon_file())


if __name__ == '__main__':
    main()
