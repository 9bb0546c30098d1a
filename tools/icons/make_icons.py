#!/usr/bin/env python3
"""Writes the program's two 32 x 32 sixteen-colour images as XPM:
the atom icon (window icon and the two icons of the bottom row) and the
framed-cross pointer of the diagram; and the same atom as a scalable SVG with
PNGs at the sizes menus and software centres ask for (rendered with
rsvg-convert from librsvg2-bin). Run from the repository root."""
import math
import subprocess

SIZE = 32


def write_xpm(path, name, pixels, palette):
    lines = [f'/* XPM */\nstatic const char *{name}[] = {{',
             f'"{SIZE} {SIZE} {len(palette)} 1",']
    lines += [f'"{k} c {v}",' for k, v in palette.items()]
    rows = ['"' + ''.join(row) + '"' for row in pixels]
    lines.append(',\n'.join(rows))
    lines.append('};\n')
    with open(path, 'w') as f:
        f.write('\n'.join(lines))


def atom():
    px = [[' '] * SIZE for _ in range(SIZE)]
    cx, cy = 15.5, 15.5
    # Three orbits, 60 degrees apart; sampled densely so each is one pixel wide.
    for colour, angle in (('r', 0.0), ('b', 60.0), ('g', 120.0)):
        a, b = 14.5, 5.0
        th = math.radians(angle)
        for k in range(720):
            t = 2 * math.pi * k / 720
            x, y = a * math.cos(t), b * math.sin(t)
            xr = cx + x * math.cos(th) - y * math.sin(th)
            yr = cy + x * math.sin(th) + y * math.cos(th)
            px[int(round(yr))][int(round(xr))] = colour
    # Nucleus: dark red ball with a black rim and a white highlight.
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - cx, y - cy)
            if d <= 2.6:
                px[y][x] = 'd'
            elif d <= 3.6:
                px[y][x] = 'k'
    px[14][14] = 'w'
    px[14][15] = 'w'
    return px, {' ': 'None', 'r': '#FF0000', 'b': '#0000FF', 'g': '#008000',
                'd': '#800000', 'k': '#000000', 'w': '#FFFFFF'}


ORBIT_COLOURS = (('#FF0000', 0.0), ('#0000FF', 60.0), ('#008000', 120.0))
ICON_SIZES = (48, 64, 128, 256)


def atom_svg():
    """The atom of atom(), drawn in vector form on the same 32-unit grid."""
    c = 16
    orbits = '\n'.join(
        f'  <ellipse cx="{c}" cy="{c}" rx="14.5" ry="5" fill="none" stroke="{colour}" '
        f'stroke-width="1.2" transform="rotate({angle:g} {c} {c})"/>'
        for colour, angle in ORBIT_COLOURS)
    return f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <title>Kalvik</title>
{orbits}
  <circle cx="{c}" cy="{c}" r="3.1" fill="#800000" stroke="#000000" stroke-width="1"/>
  <circle cx="{c - 1}" cy="{c - 1}" r="0.8" fill="#FFFFFF"/>
</svg>
'''


def cross():
    px = [[' '] * SIZE for _ in range(SIZE)]
    for x in range(0, 31):
        px[6][x] = px[26][x] = 'b'
    for y in range(6, 27):
        px[y][0] = px[y][30] = 'b'
    for y in range(7, 26):
        if y % 2 == 0 and abs(y - 16) > 2:
            px[y][15] = 'b'
    for x in range(1, 30):
        if x % 2 == 1 and abs(x - 15) > 2:
            px[16][x] = 'b'
    return px, {' ': 'None', 'b': '#0000FF'}


if __name__ == '__main__':
    p, pal = atom()
    write_xpm('src/chart/resources/atom.xpm', 'atom_xpm', p, pal)
    p, pal = cross()
    write_xpm('src/app/resources/crosspointer.xpm', 'crosspointer_xpm', p, pal)
    svg = 'packaging/icons/kalvik.svg'
    with open(svg, 'w') as f:
        f.write(atom_svg())
    for size in ICON_SIZES:
        subprocess.run(['rsvg-convert', '-w', str(size), '-h', str(size), '-o',
                        f'packaging/icons/kalvik-{size}.png', svg], check=True)
