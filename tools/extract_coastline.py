#!/usr/bin/env python3
"""Writes data/coastline/gshhg_crude.txt, the coastline mpxplot draws.

Source: GSHHG 2.3.7 (Wessel and Smith), crude resolution, as Debian's
gmt-gshhg-low packages it (LGPL-3+), dumped by Debian's gmt:

    apt-get install gmt gmt-gshhg-low
    python3 tools/extract_coastline.py

Only shorelines between land and ocean (level 1, Antarctica's ice front
included) of features of at least 1000 km2 are kept; each line is thinned
by Douglas-Peucker to 0.05 degree and its coordinates rounded to 0.01
degree. The output holds "longitude latitude" lines in degrees, a line
starting with '>' before each polyline.
"""
import os
import subprocess
import sys

TOLERANCE = 0.05  # degrees a dropped point may lie off the thinned line
MIN_AREA_KM2 = 1000
COMMAND = ["gmt", "coast", "-R-180/180/-90/90", "-Dc", "-W", "-M", "-A%d/1/1" % MIN_AREA_KM2]
OUTPUT = os.path.join(os.path.dirname(__file__), "..", "data", "coastline", "gshhg_crude.txt")


def segments(text):
    lines = []
    for row in text.splitlines():
        if row.startswith(">"):
            lines.append([])
        elif row.strip() and lines:
            lon, lat = (float(v) for v in row.split()[:2])
            lines[-1].append((lon, lat))
    return [line for line in lines if len(line) >= 2]


def thinned(points):
    """Douglas-Peucker, iterative (no recursion limit on long lines)."""
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        first, last = stack.pop()
        (x0, y0), (x1, y1) = points[first], points[last]
        length = ((x1 - x0) ** 2 + (y1 - y0) ** 2) ** 0.5
        worst, index = 0.0, None
        for k in range(first + 1, last):
            x, y = points[k]
            if length > 0:
                off = abs((x1 - x0) * (y - y0) - (y1 - y0) * (x - x0)) / length
            else:
                off = ((x - x0) ** 2 + (y - y0) ** 2) ** 0.5
            if off > worst:
                worst, index = off, k
        if index is not None and worst > TOLERANCE:
            keep[index] = True
            stack.append((first, index))
            stack.append((index, last))
    return [p for p, k in zip(points, keep) if k]


def main():
    text = subprocess.run(COMMAND, check=True, capture_output=True, text=True).stdout
    out = ["# GSHHG 2.3.7 crude shorelines (level 1, >= %d km2), LGPL-3+;" % MIN_AREA_KM2,
           "# written by tools/extract_coastline.py; see data/README.md"]
    for line in segments(text):
        points = thinned(line)
        out.append(">")
        out.extend("%.2f %.2f" % p for p in points)
    os.makedirs(os.path.dirname(OUTPUT), exist_ok=True)
    with open(OUTPUT, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
