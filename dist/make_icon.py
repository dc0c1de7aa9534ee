#!/usr/bin/env python3
"""Draws the application icon (a scroll of vellum with a V) as PNG files, standard library only."""
import math, struct, sys, zlib

def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)

def pixel(x, y, n):
    u, v = (x + 0.5) / n, (y + 0.5) / n
    # sheet with rolled ends
    inside = 0.14 < u < 0.86 and 0.10 < v < 0.90
    roll = (0.10 < u < 0.90) and (abs(v - 0.12) < 0.05 or abs(v - 0.88) < 0.05)
    ink = min(seg_dist(u, v, 0.30, 0.28, 0.50, 0.74), seg_dist(u, v, 0.70, 0.28, 0.50, 0.74)) < 0.055
    if ink and inside:
        return (128, 30, 30, 255)
    if roll:
        return (176, 128, 72, 255)
    if inside:
        shade = int(12 * v)
        return (246 - shade, 232 - shade, 196 - shade, 255)
    return (0, 0, 0, 0)

def png(n):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y, n)) for x in range(n)) for y in range(n))
    chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))

if __name__ == '__main__':
    for path, size in ((sys.argv[1], 64), (sys.argv[2], 256)) if len(sys.argv) > 2 else (('vellum.png', 64),):
        open(path, 'wb').write(png(size))
