#!/usr/bin/env python3
"""Draws coastline.dat and countries.dat (and optionally the sector polygons
of firdisplay.dat) into a PPM picture for a look by eye.

The line files are read with the viewer's rule: a segment joins a point to
the point before it unless that earlier point's latitude plus longitude is
0 ("end" reads as 0, 0). Segments are drawn on a plate carree map, or on an
orthographic globe view (--centre LAT LON), and segments longer than
--long degrees are listed so that stray lines show up in numbers too.

Convert the result with: convert picture.ppm picture.png
"""

import argparse
import math
import os


def read_number(text):
    """The value of the longest leading decimal number, 0 when none."""
    text = text.strip()
    best = 0.0
    for end in range(len(text), 0, -1):
        try:
            best = float(text[:end])
            break
        except ValueError:
            continue
    return best


def read_point(line):
    fields = line.split(":")
    lat = read_number(fields[0])
    lon = read_number(fields[1]) if len(fields) > 1 else 0.0
    return lat, lon


def line_segments(path):
    segments = []
    previous = (0.0, 0.0)
    with open(path, "rb") as f:
        for raw in f:
            line = raw.rstrip(b"\r\n").decode("cp1252")
            before = previous
            if line == "end":
                before = (0.0, 0.0)
            current = read_point(line)
            if before[0] + before[1] != 0:
                segments.append((before, current))
            previous = current
    return segments


def polygon_segments(path):
    segments = []
    points = []

    def close():
        if len(points) > 1:
            segments.extend(zip(points, points[1:] + points[:1]))
        points.clear()

    with open(path, "rb") as f:
        for raw in f:
            line = raw.rstrip(b"\r\n").decode("cp1252")
            if line.startswith("D"):
                close()
            else:
                points.append(read_point(line))
    return segments


def great_circle(p, q):
    la1, lo1, la2, lo2 = map(math.radians, (p[0], p[1], q[0], q[1]))
    c = (math.sin(la1) * math.sin(la2)
         + math.cos(la1) * math.cos(la2) * math.cos(lo2 - lo1))
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = bytearray(b"\x10\x18\x30" * (width * height))

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = 3 * (y * self.width + x)
            self.pixels[i:i + 3] = colour

    def line(self, x0, y0, x1, y1, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0))) + 1
        if steps > 4 * (self.width + self.height):
            return
        for s in range(steps + 1):
            t = s / steps
            self.dot(int(round(x0 + (x1 - x0) * t)), int(round(y0 + (y1 - y0) * t)), colour)

    def save(self, path):
        with open(path, "wb") as out:
            out.write(b"P6 %d %d 255\n" % (self.width, self.height))
            out.write(self.pixels)


def plate_carree(canvas, segments, colour, box):
    south, north, west, east = box
    sx = canvas.width / (east - west)
    sy = canvas.height / (north - south)
    for p, q in segments:
        lo1, lo2 = p[1], q[1]
        if abs(lo2 - lo1) > 180:      # crosses the 180th meridian: wrap
            lo2 += 360 if lo2 < lo1 else -360
        for shift in (0, 360, -360):
            x0, x1 = (lo1 + shift - west) * sx, (lo2 + shift - west) * sx
            if max(x0, x1) < 0 or min(x0, x1) >= canvas.width:
                continue
            canvas.line(x0, (north - p[0]) * sy, x1, (north - q[0]) * sy, colour)


def orthographic(canvas, segments, colour, centre):
    lat0, lon0 = map(math.radians, centre)
    r = min(canvas.width, canvas.height) / 2 - 2

    def project(point):
        lat, lon = map(math.radians, point)
        x = math.cos(lat) * math.sin(lon - lon0)
        y = (math.cos(lat0) * math.sin(lat)
             - math.sin(lat0) * math.cos(lat) * math.cos(lon - lon0))
        z = (math.sin(lat0) * math.sin(lat)
             + math.cos(lat0) * math.cos(lat) * math.cos(lon - lon0))
        return canvas.width / 2 + x * r, canvas.height / 2 - y * r, z

    for p, q in segments:
        x0, y0, z0 = project(p)
        x1, y1, z1 = project(q)
        if z0 >= 0 and z1 >= 0:
            canvas.line(x0, y0, x1, y1, colour)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = os.path.join(here, "..", "data")
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output", help="PPM file to write")
    parser.add_argument("--data", default=data, help="folder of the data files")
    parser.add_argument("--width", type=int, default=2000)
    parser.add_argument("--height", type=int, default=1000)
    parser.add_argument("--centre", type=float, nargs=2, metavar=("LAT", "LON"),
                        help="orthographic view centred here instead of a flat map")
    parser.add_argument("--box", type=float, nargs=4, metavar=("S", "N", "W", "E"),
                        default=(-90, 90, -180, 180), help="flat map extent")
    parser.add_argument("--sectors", action="store_true", help="draw firdisplay.dat too")
    parser.add_argument("--long", type=float, default=2.0,
                        help="list line-file segments longer than this (degrees)")
    args = parser.parse_args()

    layers = [
        ("coastline.dat", line_segments, (90, 200, 255)),
        ("countries.dat", line_segments, (255, 200, 90)),
    ]
    if args.sectors:
        layers.insert(0, ("firdisplay.dat", polygon_segments, (200, 60, 60)))
    canvas = Canvas(args.width, args.height)
    for name, reader, colour in layers:
        segments = reader(os.path.join(args.data, name))
        if args.centre:
            orthographic(canvas, segments, colour, args.centre)
        else:
            plate_carree(canvas, segments, colour, args.box)
        if reader is line_segments:
            long_ones = [(great_circle(p, q), p, q) for p, q in segments
                         if great_circle(p, q) > args.long]
            print("%s: %d segments, %d longer than %g degrees"
                  % (name, len(segments), len(long_ones), args.long))
            for length, p, q in sorted(long_ones, reverse=True)[:10]:
                print("   %.2f  %s -> %s" % (length, p, q))
        else:
            print("%s: %d edges" % (name, len(segments)))
    canvas.save(args.output)


if __name__ == "__main__":
    main()
