#!/usr/bin/env python3
"""Draws the application icon (a scroll of vellum with a V), standard library only: a scalable
SVG and PNG files at the usual theme sizes, both from the one description below.

    dist/make_icon.py            writes dist/icons/hicolor/... and data/vellum.png
"""
import math, os, struct, sys, zlib

SHEET = (0.14, 0.10, 0.86, 0.90)            # left, top, right, bottom, in parts of the side
ROLLS = ((0.10, 0.07, 0.90, 0.17), (0.10, 0.83, 0.90, 0.93))
V = ((0.30, 0.28), (0.50, 0.74), (0.70, 0.28))
STROKE = 0.11
PAPER_TOP, PAPER_BOTTOM = (246, 232, 196), (234, 220, 184)
ROLL, INK = (176, 128, 72), (128, 30, 30)
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)

def inside(u, v, box):
    return box[0] < u < box[2] and box[1] < v < box[3]

def colour(u, v):
    on_sheet = inside(u, v, SHEET)
    # The V lies on the sheet (the SVG does not clip it either).
    if min(seg_dist(u, v, *V[0], *V[1]), seg_dist(u, v, *V[2], *V[1])) < STROKE / 2:
        return INK + (255,)
    if any(inside(u, v, r) for r in ROLLS):
        return ROLL + (255,)
    if on_sheet:
        t = (v - SHEET[1]) / (SHEET[3] - SHEET[1])
        return tuple(round(a + (b - a) * t) for a, b in zip(PAPER_TOP, PAPER_BOTTOM)) + (255,)
    return (0, 0, 0, 0)

def pixel(x, y, n, samples=4):
    # Averaged over a grid of samples, with premultiplied alpha, so small sizes keep their edges soft.
    acc = [0.0, 0.0, 0.0, 0.0]
    for i in range(samples):
        for j in range(samples):
            r, g, b, a = colour((x + (i + 0.5) / samples) / n, (y + (j + 0.5) / samples) / n)
            acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
    alpha = acc[3] / samples ** 2
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple(round(c / acc[3]) for c in acc[:3]) + (round(alpha),)

def png(n):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y, n)) for x in range(n)) for y in range(n))
    chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))

def svg(side=256):
    hexc = lambda c: '#%02x%02x%02x' % c
    box = lambda b: 'x="%g" y="%g" width="%g" height="%g"' % (
        b[0] * side, b[1] * side, (b[2] - b[0]) * side, (b[3] - b[1]) * side)
    points = ' '.join('%g,%g' % (x * side, y * side) for x, y in V)
    return f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{side}" height="{side}" viewBox="0 0 {side} {side}">
  <title>Vellum</title>
  <defs>
    <linearGradient id="paper" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{hexc(PAPER_TOP)}"/>
      <stop offset="1" stop-color="{hexc(PAPER_BOTTOM)}"/>
    </linearGradient>
  </defs>
  <rect {box(SHEET)} fill="url(#paper)"/>
  <rect {box(ROLLS[0])} fill="{hexc(ROLL)}"/>
  <rect {box(ROLLS[1])} fill="{hexc(ROLL)}"/>
  <polyline points="{points}" fill="none" stroke="{hexc(INK)}" stroke-width="{STROKE * side:g}"
            stroke-linecap="round" stroke-linejoin="round"/>
</svg>
'''

if __name__ == '__main__':
    root = os.path.dirname(os.path.abspath(__file__))
    icons = os.path.join(root, 'icons', 'hicolor')
    os.makedirs(os.path.join(icons, 'scalable', 'apps'), exist_ok=True)
    open(os.path.join(icons, 'scalable', 'apps', 'vellum.svg'), 'w').write(svg())
    for n in SIZES:
        folder = os.path.join(icons, '%dx%d' % (n, n), 'apps')
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, 'vellum.png'), 'wb').write(png(n))
    open(os.path.join(root, '..', 'data', 'vellum.png'), 'wb').write(png(64))
