#!/usr/bin/env python3
"""Records what GDI paints for border fills and single pixels, as test fixtures.

Every case is made from its own number, so any case can be made again alone. The cases are
played by the GDI reference tool under Wine (twice, to be sure GDI paints them the same each
time) and written as `<commands> : <pixel count> <digest>`, the digest being 64-bit FNV-1a over
the "x y c\n" listing of the pixels that are not colour 0, row by row. GDI reads back a colour
outside the palette as -1; the listing names it 16, the number our surface stores.

Not run by the tests or CI: it needs Wine.

    scripts/gdi-record-fill-fixtures.py OUT.txt [--oracle gdi_draw.exe]

The reference tool is ../shared/gdi-oracle/gdi_draw.exe beside the project's folder unless given.
"""

import argparse
import math
import os
import random
import subprocess
import sys

SETUP = ["size 600 200", "clip 0 0 570 190", "pen 15", "brush 7"]
FILL_CASES = 400
PLOT_CASES = 120
FIRST_PLOT_CASE = 100000


def roundish_ellipse(rng, x, y):
    # Boxes this round always reach their top and bottom rows, so GDI's brush stays inside.
    w = rng.randint(3, 26)
    h = max(3, w + rng.randint(-2, 2))
    return f"ellipse {x} {y} {x + w} {y + h}"


def closed_polygon(rng, cx, cy):
    # Corners at growing angles around the centre: a polygon that holds its centre.
    angles = sorted(rng.uniform(0, 2 * math.pi) for _ in range(rng.randint(3, 6)))
    corners = []
    for a in angles:
        r = rng.randint(9, 32)
        corners.append((cx + round(r * math.cos(a)), cy + round(r * 0.7 * math.sin(a))))
    return [f"line {a[0]} {a[1]} {b[0]} {b[1]}"
            for a, b in zip(corners, corners[1:] + corners[:1])]


def fill_case(number):
    rng = random.Random(number)
    # Mostly inside the frame, some across its edges and the surface's.
    cx = rng.choice([rng.randint(-10, 40), rng.randint(530, 590), rng.randint(40, 530)])
    cy = rng.choice([rng.randint(-10, 25), rng.randint(165, 205), rng.randint(25, 165)])
    border = rng.randint(0, 16)
    commands = [f"pen {border}"]
    if rng.random() < 0.7:
        commands += closed_polygon(rng, cx, cy)
    else:
        commands.append(f"brush {rng.randint(0, 16)}")
        commands.append(roundish_ellipse(rng, cx - 12, cy - 12))
    for _ in range(rng.randint(0, 4)):
        commands.append(f"pen {rng.choice([border, rng.randint(0, 16)])}")
        x, y = cx + rng.randint(-30, 20), cy + rng.randint(-20, 15)
        if rng.random() < 0.6:
            commands.append(f"line {x} {y} {x + rng.randint(-25, 25)} {y + rng.randint(-25, 25)}")
        else:
            commands.append(f"brush {rng.randint(0, 16)}")
            commands.append(roundish_ellipse(rng, x, y))
    if rng.random() < 0.25:
        left, top = cx + rng.randint(-40, 5), cy + rng.randint(-30, 5)
        commands.append(f"clip {left} {top} {left + rng.randint(0, 60)} {top + rng.randint(0, 45)}")
    brush = rng.choice([border, rng.randint(0, 16), rng.randint(0, 16)])
    commands.append(f"brush {brush}")
    fill_border = border if rng.random() < 0.85 else rng.randint(0, 16)
    commands.append(f"fill {cx + rng.randint(-6, 6)} {cy + rng.randint(-6, 6)} {fill_border}")
    return commands


def plot_case(number):
    rng = random.Random(number)
    edges_x = [-1, 0, 1, 568, 569, 570, 571, 599, 600]
    edges_y = [-1, 0, 1, 188, 189, 190, 191, 199, 200]
    commands = []
    if rng.random() < 0.3:
        left, top = rng.randint(-5, 560), rng.randint(-5, 180)
        commands.append(f"clip {left} {top} {left + rng.randint(0, 40)} {top + rng.randint(0, 30)}")
    for _ in range(rng.randint(1, 20)):
        x = rng.choice(edges_x) if rng.random() < 0.4 else rng.randint(-3, 603)
        y = rng.choice(edges_y) if rng.random() < 0.4 else rng.randint(-3, 203)
        commands.append(f"plot {x} {y} {rng.randint(0, 16)}")
    return commands


def fixed_cases():
    return [
        # Held only by a diagonal line; seeded on each side and on the line itself.
        ["pen 9", "line 0 19 20 -1", "brush 4", "fill 0 0 9"],
        ["pen 9", "line 0 19 20 -1", "brush 4", "fill 10 9 9"],
        ["pen 9", "line 0 19 20 -1", "brush 4", "fill 8 11 9"],
        # Seeded outside the frame, on its edges and in the corner the frame leaves.
        ["brush 4", "fill 570 10 9"],
        ["brush 4", "fill 10 190 9"],
        ["brush 4", "fill 569 189 9"],
        ["brush 4", "fill -1 5 9"],
        # The brush is the border colour.
        ["pen 2", "ellipse 100 50 130 80", "brush 2", "fill 115 65 2"],
        # The sky's fill, held by the first ridge line.
        ["pen 1", "line 330 135 640 135", "line 0 110 330 135", "brush 11", "fill 10 20 1"],
    ]


def run_oracle(oracle, cases):
    script = []
    for commands in cases:
        script += SETUP + commands + ["points"]
    result = subprocess.run(["wine", oracle], input="\n".join(script) + "\n", text=True,
                            capture_output=True, env=dict(os.environ, WINEDEBUG="-all"),
                            check=True)
    pictures, current = [], []
    for line in result.stdout.splitlines():
        if line == "end":
            pictures.append(current)
            current = []
        elif line:
            x, y, c = (int(v) for v in line.split())
            current.append(f"{x} {y} {16 if c < 0 else c}\n")
    if len(pictures) != len(cases):
        sys.exit(f"the oracle answered {len(pictures)} of {len(cases)} cases: {result.stderr}")
    return pictures


def fnv1a64(text):
    h = 0xCBF29CE484222325
    for byte in text.encode():
        h = ((h ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output")
    # The reference tool lives beside the project's folder unless given.
    beside_project = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shared",
                                  "gdi-oracle", "gdi_draw.exe")
    parser.add_argument("--oracle", default=os.path.normpath(beside_project))
    args = parser.parse_args()

    cases = fixed_cases()
    cases += [fill_case(n) for n in range(FILL_CASES)]
    cases += [plot_case(FIRST_PLOT_CASE + n) for n in range(PLOT_CASES)]
    first = run_oracle(args.oracle, cases)
    second = run_oracle(args.oracle, cases)
    for commands, a, b in zip(cases, first, second):
        if a != b:
            sys.exit("GDI painted this case differently twice: " + " ; ".join(commands))

    with open(args.output, "w") as out:
        out.write("# GDI (Wine 8.0) pixels: FloodFill (border mode) held by lines and ellipse "
                  "outlines, and SetPixelV; colour -1 read back is listed as 16\n")
        out.write("# setup: " + " ; ".join(SETUP) + "\n")
        out.write('# <commands> : <pixels> <fnv1a64 of the points listing, "x y c\\n" a pixel>\n')
        for commands, pixels in zip(cases, first):
            out.write(f"{' ; '.join(commands)} : {len(pixels)} {fnv1a64(''.join(pixels)):016x}\n")


if __name__ == "__main__":
    main()
