#!/usr/bin/env python3
"""Checks the shipped data files against their formats and prints their
counts and a few well-known entries. Exits with 1 when a check fails.

    python3 check_data.py [data folder]
"""

import os
import re
import struct
import sys

LINE_NUMBER = re.compile(r"^-?\d+(\.\d{0,3}[1-9])?$")        # up to 4 decimals
AIRPORT_NUMBER = re.compile(r"^-?\d+(\.\d{0,5}[1-9])?$")     # up to 6 decimals
SECTOR_NUMBER = re.compile(r"^-?\d+(\.\d*[1-9])?$")
ICAO_STYLE = re.compile(r"^[A-Z]{4}$")
UNDEFINED_CP1252 = {0x81, 0x8D, 0x8F, 0x90, 0x9D}

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def single(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    name = os.path.basename(path)
    if not data.endswith(b"\r\n"):
        fail("%s does not end with CR LF" % name)
    lines = data.split(b"\r\n")[:-1]
    if any(b"\r" in line or b"\n" in line for line in lines):
        fail("%s has a line end other than CR LF" % name)
    bad = sorted({b for line in lines for b in line if b in UNDEFINED_CP1252})
    if bad:
        fail("%s has bytes that Windows-1252 does not define: %s" % (name, bad))
    return [line.decode("cp1252") for line in lines]


def check_line_file(path):
    name = os.path.basename(path)
    lines = read_lines(path)
    polylines = points = segments = 0
    previous = (0.0, 0.0)
    in_polyline = False
    for number, line in enumerate(lines, 1):
        if line == "end":
            if not in_polyline:
                fail("%s:%d: 'end' without a polyline before it" % (name, number))
            in_polyline = False
            previous = (0.0, 0.0)
            continue
        fields = line.split(":")
        if len(fields) != 2 or not all(LINE_NUMBER.match(f) for f in fields):
            fail("%s:%d: not a point line: %r" % (name, number, line))
            continue
        lat, lon = float(fields[0]), float(fields[1])
        if not (-90 <= lat <= 90 and -180 <= lon <= 180):
            fail("%s:%d: out of range: %r" % (name, number, line))
        if single(lat) + single(lon) == 0:
            fail("%s:%d: latitude plus longitude is 0: %r" % (name, number, line))
        if in_polyline:
            segments += 1
            if abs(previous[1]) == 180 and abs(lon) == 180:
                fail("%s:%d: segment along the 180th meridian" % (name, number))
            if previous[0] < -89.9 and lat < -89.9:
                fail("%s:%d: segment around the South Pole" % (name, number))
        else:
            polylines += 1
        in_polyline = True
        points += 1
        previous = (lat, lon)
    if lines and lines[-1] == "end":
        fail("%s ends with 'end'" % name)
    print("%s: %d bytes, %d polylines, %d points, %d segments"
          % (name, os.path.getsize(path), polylines, points, segments))


def check_airports(path):
    name = os.path.basename(path)
    lines = read_lines(path)
    codes = {}
    for number, line in enumerate(lines, 1):
        fields = line.split(":")
        if len(fields) != 6:
            fail("%s:%d: %d fields" % (name, number, len(fields)))
            continue
        code = fields[0]
        if not ICAO_STYLE.match(code):
            fail("%s:%d: code %r is not four letters" % (name, number, code))
        if code in codes:
            fail("%s:%d: code %s repeats" % (name, number, code))
        codes[code] = fields
        if not (AIRPORT_NUMBER.match(fields[4]) and AIRPORT_NUMBER.match(fields[5])):
            fail("%s:%d: position %s:%s" % (name, number, fields[4], fields[5]))
        if not fields[1]:
            fail("%s:%d: empty name" % (name, number))
    print("%s: %d bytes, %d airports" % (name, os.path.getsize(path), len(codes)))
    for code in ("EDDF", "KJFK", "LHBP", "EGLL", "YSSY"):
        print("   " + (":".join(codes[code]) if code in codes else code + " missing"))
    return codes


def check_sectors(display_path, list_path):
    lines = read_lines(display_path)
    polygons = {}
    current = None
    order = []
    vertices = 0
    if not lines or lines[-1] != "DISPLAY_LIST_END":
        fail("firdisplay.dat does not end with DISPLAY_LIST_END")
    for number, line in enumerate(lines, 1):
        if line.startswith("D"):
            if line == "DISPLAY_LIST_END":
                if number != len(lines):
                    fail("firdisplay.dat:%d: DISPLAY_LIST_END before the end" % number)
                continue
            match = re.match(r"^DISPLAY_LIST_([1-9]\d*)$", line)
            if not match:
                fail("firdisplay.dat:%d: bad header %r" % (number, line))
                continue
            current = int(match.group(1))
            if current in polygons:
                fail("firdisplay.dat:%d: number %d repeats" % (number, current))
            polygons[current] = []
            order.append(current)
            continue
        fields = line.split(":")
        if current is None or len(fields) != 2 or not all(SECTOR_NUMBER.match(f) for f in fields):
            fail("firdisplay.dat:%d: not a vertex line: %r" % (number, line))
            continue
        if any(len(f.replace("-", "").replace(".", "").lstrip("0")) > 7 for f in fields):
            fail("firdisplay.dat:%d: more than 7 significant digits: %r" % (number, line))
        polygons[current].append(line)
        vertices += 1
    for n, points in polygons.items():
        if len(points) < 4 or points[0] != points[-1]:
            fail("polygon %d is not a closed ring of at least 3 vertices" % n)
        if any(a == b for a, b in zip(points, points[1:])):
            fail("polygon %d repeats a vertex on consecutive lines" % n)
        if not 59 <= n < 10000:
            fail("polygon number %d is outside 59..9999" % n)
    if not order:
        fail("firdisplay.dat has no polygon")
        return
    if order != list(range(order[0], order[0] + len(order))):
        fail("polygon numbers are not consecutive")
    print("firdisplay.dat: %d bytes, %d polygons (numbers %d..%d), %d vertex lines"
          % (os.path.getsize(display_path), len(polygons), min(order), max(order), vertices))

    entries = {}
    for number, line in enumerate(read_lines(list_path), 1):
        fields = line.split(":")
        if len(fields) != 6:
            fail("firlist.dat:%d: %d fields" % (number, len(fields)))
            continue
        key = fields[0].upper()
        if key in entries:
            fail("firlist.dat:%d: id %s repeats" % (number, fields[0]))
        entries[key] = fields
        if not fields[5].isdigit() or int(fields[5]) not in polygons:
            fail("firlist.dat:%d: list number %s has no polygon" % (number, fields[5]))
        if not (SECTOR_NUMBER.match(fields[3]) and SECTOR_NUMBER.match(fields[4])):
            fail("firlist.dat:%d: label %s:%s" % (number, fields[3], fields[4]))
    unused = set(polygons) - {int(f[5]) for f in entries.values() if f[5].isdigit()}
    if unused:
        fail("polygons that no sector uses: %s" % sorted(unused)[:10])
    print("firlist.dat: %d bytes, %d sectors, %d with place ZZ"
          % (os.path.getsize(list_path), len(entries),
             sum(1 for f in entries.values() if f[2] == "ZZ")))
    for key in ("EDGG", "EDMM", "EDWW", "LHCC", "LON", "EGTT", "NY", "NY_O", "KZNY", "CZQO", "NZZO"):
        if key in entries:
            f = entries[key]
            print("   %s (%d vertices)" % (":".join(f), len(polygons.get(int(f[5]), []))))
        else:
            print("   %s missing" % key)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    check_line_file(os.path.join(data, "coastline.dat"))
    check_line_file(os.path.join(data, "countries.dat"))
    check_airports(os.path.join(data, "airports.dat"))
    check_sectors(os.path.join(data, "firdisplay.dat"), os.path.join(data, "firlist.dat"))
    if os.path.exists(os.path.join(data, "firdisplay.sup")):
        print("firdisplay.sup present")
    if failures:
        print("%d checks failed" % len(failures))
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
