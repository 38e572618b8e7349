#!/usr/bin/env python3
"""Builds data/firdisplay.dat and data/firlist.dat for the world's flight
information regions from the VAT-Spy data project (Boundaries.geojson and
the [FIRs] section of VATSpy.dat).

Regions: the features of Boundaries.geojson grouped by their "id" property,
domestic and oceanic ("oceanic" = "1") apart. Pieces that the data cuts at
the 180th meridian are joined back into one ring; of the rings that remain
a region keeps its largest one, as each sector id draws one polygon.

Polygons (firdisplay.dat): a "DISPLAY_LIST_<N>" header, then the ring's
vertices as "<lat>:<lon>" single-precision numbers, consecutive repeats left
out, edges longer than 4 degrees split into equal parts (the added points
rounded to 0.01 degree) so that they follow the globe, the first vertex
repeated as the last. The file ends with "DISPLAY_LIST_END". Numbers run
from 100 upwards in the order the sector list first uses them.

Sector list (firlist.dat), "id:name:place:label lat:label lon:N":
- one line per [FIRs] row, under its call-sign prefix, or its ICAO code
  when the row has none, for the row's boundary; the name from the row;
- where a boundary id has an oceanic region beside the domestic one, the
  oceanic one is listed as "<id>_O" for the row's id and for the boundary id;
- then each row's ICAO code that is not yet an id and can stand before
  "_CTR" in a call sign, so that controllers logged in under the ICAO code
  find their region too; the first line of an id wins (ids compared without
  regard to case, as the viewer does).
Labels come from the features' label_lat and label_lon. The place code is
the region's country, taken from the airports of airports.dat (see
`place_code`).
"""

import argparse
import bisect
import json
import math
import os
import re
import sys
from collections import Counter, OrderedDict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from datatext import clean_field, format_single, to_cp1252, to_single, write_lines  # noqa: E402

FIRST_NUMBER = 100
LAST_NUMBER = 9999
MAX_EDGE = 4.0                       # degrees; longer edges are split
CALLSIGN_ID = re.compile(r"^[A-Z0-9_]+$")


# ----------------------------------------------------------------- geometry

def wrap(dlon):
    """A longitude difference brought into -180..180."""
    while dlon > 180:
        dlon -= 360
    while dlon < -180:
        dlon += 360
    return dlon


def open_ring(ring):
    """(lat, lon) vertices without the closing repeat."""
    points = [(float(p[1]), float(p[0])) for p in ring]
    if len(points) > 1 and points[0] == points[-1]:
        points.pop()
    return points


def unwrapped(ring):
    """The ring's longitudes made continuous across the 180th meridian."""
    out = []
    for lat, lon in ring:
        if out:
            lon = out[-1][1] + wrap(lon - out[-1][1])
        out.append((lat, lon))
    return out


def signed_area(ring):
    """Area on an equal-area map (longitude in radians against the sine of
    latitude); positive for a counter-clockwise ring."""
    pts = unwrapped(ring)
    total = 0.0
    for (la1, lo1), (la2, lo2) in zip(pts, pts[1:] + pts[:1]):
        total -= math.radians(lo2 - lo1) * (math.sin(math.radians(la1))
                                            + math.sin(math.radians(la2))) / 2
    return total


def on_meridian(point):
    return abs(point[1]) == 180.0


def shifted_east(ring):
    """A piece west of the 180th meridian moved one turn east, so that it
    lies beside a piece east of the meridian (longitudes 180 and beyond)."""
    return [(lat, lon + 360.0) for lat, lon in ring]


def split_meridian_edges(ring, lats):
    """The ring with its edges along longitude 180 split at every latitude
    of `lats` that falls inside them."""
    out = []
    n = len(ring)
    for i in range(n):
        p, q = ring[i], ring[(i + 1) % n]
        out.append(p)
        if p[1] == 180.0 and q[1] == 180.0:
            inner = [lat for lat in lats if min(p[0], q[0]) < lat < max(p[0], q[0])]
            inner.sort(reverse=p[0] > q[0])
            out.extend((lat, 180.0) for lat in inner)
    return out


def join_at_antimeridian(east, west):
    """The union of a piece that touches longitude 180 and one that touches
    -180, as rings; None when they share no stretch of the meridian.

    Both pieces are turned counter-clockwise and laid side by side; the
    stretches of meridian that both run along, in opposite directions, are
    inside the union and cancel; the edges left over chain up into the
    union's outline (and the outline of any hole it has)."""
    if not any(p[1] == 180.0 for p in east) or not any(p[1] == -180.0 for p in west):
        return None
    west = shifted_east(west)
    west = [(lat, 180.0 if lon == 180.0 else lon) for lat, lon in west]
    if signed_area(east) < 0:
        east = east[::-1]
    if signed_area(west) < 0:
        west = west[::-1]
    lats = {p[0] for p in east + west if p[1] == 180.0}
    edges = Counter()
    for ring in (split_meridian_edges(east, lats), split_meridian_edges(west, lats)):
        for i in range(len(ring)):
            edges[(ring[i], ring[(i + 1) % len(ring)])] += 1
    cancelled = 0
    for (u, v) in list(edges):
        common = min(edges[(u, v)], edges[(v, u)])
        if common and u < v:
            edges[(u, v)] -= common
            edges[(v, u)] -= common
            cancelled += common
    if not cancelled:
        return None
    outgoing = {}
    for (u, v), count in edges.items():
        outgoing.setdefault(u, []).extend([v] * count)
    rings = []
    for start in sorted(outgoing):
        while outgoing.get(start):
            ring = [start]
            point = outgoing[start].pop()
            while point != start and outgoing.get(point):
                ring.append(point)
                point = outgoing[point].pop()
            rings.append([(lat, lon - 360.0 if lon > 180.0 else lon) for lat, lon in ring])
    return [r for r in rings if len(r) >= 3]


def join_cut_pieces(rings):
    """Joins pieces cut at the 180th meridian; returns (rings, joins)."""
    # Joined rings keep their meridian vertices at +180 only: each join uses
    # up a piece with vertices at -180, so the loop ends.
    rings = list(rings)
    joins = 0
    changed = True
    while changed:
        changed = False
        for i, a in enumerate(rings):
            for j, b in enumerate(rings):
                if i == j:
                    continue
                joined = join_at_antimeridian(a, b)
                if joined:
                    rings = [r for k, r in enumerate(rings) if k not in (i, j)] + joined
                    joins += 1
                    changed = True
                    break
            if changed:
                break
    return rings, joins


def contains(ring, lat, lon):
    """Even-odd test on the unwrapped ring; the point is tried at its
    longitude and one turn either side."""
    pts = unwrapped(ring)
    for x in (lon, lon + 360, lon - 360):
        inside = False
        for (la1, lo1), (la2, lo2) in zip(pts, pts[1:] + pts[:1]):
            if (la1 > lat) != (la2 > lat):
                cross = lo1 + (lat - la1) * (lo2 - lo1) / (la2 - la1)
                if x < cross:
                    inside = not inside
        if inside:
            return True
    return False


def bounds(ring):
    pts = unwrapped(ring)
    lats = [p[0] for p in pts]
    lons = [p[1] for p in pts]
    return min(lats), max(lats), min(lons), max(lons)


# ------------------------------------------------------------------ regions

class Region:
    def __init__(self, boundary_id, oceanic, label):
        self.boundary_id = boundary_id
        self.oceanic = oceanic
        self.label = label
        self.rings = []
        self.ring = None
        self.left_out = 0
        self.duplicates = 0
        self.joins = 0
        self.number = None

    def settle(self):
        unique = []
        for ring in self.rings:
            if ring in unique:
                self.duplicates += 1
            else:
                unique.append(ring)
        rings, self.joins = join_cut_pieces(unique)
        rings.sort(key=lambda r: abs(signed_area(r)), reverse=True)
        # The largest ring that holds the label: the label marks the part
        # the region is known by (Moncton's own ring, not the larger piece
        # it shares with Gander). Without such a ring, the largest one.
        holding = [r for r in rings if self.label and contains(r, *self.label)]
        self.ring = holding[0] if holding else rings[0]
        self.left_out = len(rings) - 1


def read_regions(path):
    with open(path, encoding="utf-8") as f:
        features = json.load(f)["features"]
    regions = OrderedDict()
    holes = 0
    for feature in features:
        props = feature["properties"]
        key = (props["id"], props.get("oceanic") == "1")
        if key not in regions:
            label = None
            if props.get("label_lat") not in (None, "") and props.get("label_lon") not in (None, ""):
                label = (float(props["label_lat"]), float(props["label_lon"]))
            regions[key] = Region(props["id"], key[1], label)
        geometry = feature["geometry"]
        polygons = geometry["coordinates"]
        if geometry["type"] == "Polygon":
            polygons = [polygons]
        for polygon in polygons:
            regions[key].rings.append(open_ring(polygon[0]))
            holes += len(polygon) - 1
    for region in regions.values():
        region.settle()
        if region.label is None:
            south, north, west, east = bounds(region.ring)
            region.label = ((south + north) / 2, wrap((west + east) / 2))
    return regions, holes


def read_fir_rows(path):
    rows = []
    section = None
    with open(path, encoding="utf-8-sig") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("["):
                section = line.strip().upper()
                continue
            if section != "[FIRS]" or not line.strip() or line.lstrip().startswith(";"):
                continue
            fields = [x.strip() for x in line.split("|")] + ["", "", "", ""]
            rows.append({"icao": fields[0], "name": fields[1],
                         "prefix": fields[2], "boundary": fields[3] or fields[0]})
    return rows


# ------------------------------------------------------------ place codes

class AirportPlaces:
    """Country codes of the airports in airports.dat, for place codes."""

    def __init__(self, path):
        self.airports = []   # (lat, lon, code, country), sorted by latitude
        if os.path.exists(path):
            with open(path, "rb") as f:
                for raw in f:
                    fields = raw.rstrip(b"\r\n").decode("cp1252").split(":")
                    if len(fields) >= 6 and fields[3]:
                        self.airports.append((float(fields[4]), float(fields[5]),
                                              fields[0], fields[3]))
        self.airports.sort()
        self.lats = [a[0] for a in self.airports]
        self.inside_cache = {}
        self.prefix_cache = {}

    def inside(self, region):
        key = id(region)
        if key not in self.inside_cache:
            south, north, west, east = bounds(region.ring)
            lo = bisect.bisect_left(self.lats, south)
            hi = bisect.bisect_right(self.lats, north)
            found = []
            for lat, lon, code, country in self.airports[lo:hi]:
                if any(west <= x <= east for x in (lon, lon + 360, lon - 360)) \
                        and contains(region.ring, lat, lon):
                    found.append((code, country))
            self.inside_cache[key] = found
        return self.inside_cache[key]

    def with_prefix(self, prefix):
        if prefix not in self.prefix_cache:
            self.prefix_cache[prefix] = [(a[2], a[3]) for a in self.airports
                                         if a[2].startswith(prefix)]
        return self.prefix_cache[prefix]

    @staticmethod
    def most_common(pairs):
        counts = Counter(country for _, country in pairs)
        if not counts:
            return None
        return sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))[0][0]

    def place_code(self, icao, region):
        """The most common country among, in this order of preference:
        1. airports inside the region whose code shares the ICAO code's
           first two letters;
        2. all airports whose code shares those two letters (oceanic
           regions hold few airports of their own);
        3. airports inside the region whose code shares its first letter;
        4. all airports inside the region (made-up codes such as "ADR");
        "ZZ" when none of these finds one."""
        icao = icao.upper()
        inside = self.inside(region)
        steps = [
            [p for p in inside if p[0][:2] == icao[:2]],
            self.with_prefix(icao[:2]),
            [p for p in inside if p[0][:1] == icao[:1]],
            inside,
        ]
        for step, pairs in enumerate(steps, 1):
            country = self.most_common(pairs)
            if country:
                return country, step
        return "ZZ", 0


# ----------------------------------------------------------------- writing

def polygon_lines(number, ring):
    """The block of one polygon, with the converter's conventions."""
    # Vertices are compared as written: two source points that give the
    # same text are one vertex.
    vertices = []
    for lat, lon in ring:
        text = format_single(lat) + ":" + format_single(lon)
        if not vertices or vertices[-1][2] != text:
            vertices.append((to_single(lat), to_single(lon), text))
    if len(vertices) > 1 and vertices[0][2] == vertices[-1][2]:
        vertices.pop()
    vertices.append(vertices[0])
    lines = ["DISPLAY_LIST_%d" % number]
    added = 0
    previous = None
    for v in vertices:
        if previous is not None:
            dlat = v[0] - previous[0]
            dlon = wrap(v[1] - previous[1])
            same_pole = abs(v[0]) == 90 and v[0] == previous[0]
            d = math.hypot(dlat, dlon)
            if d > MAX_EDGE and not same_pole:
                n = int(d // MAX_EDGE) + 1
                for j in range(1, n + 1):
                    t = j / (n + 1)
                    lat = round(previous[0] + dlat * t, 2)
                    lon = round(wrap(previous[1] + dlon * t), 2)
                    lines.append(format_single(lat) + ":" + format_single(lon))
                    added += 1
        lines.append(v[2])
        previous = v
    return lines, len(vertices), added


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(here)
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--vatspy", default=os.environ.get(
        "VATSPY_DATA", os.path.join(repo, "..", "shared", "realdata", "vatspy")),
        help="folder holding Boundaries.geojson and VATSpy.dat")
    parser.add_argument("--out", default=os.path.join(repo, "data"))
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    regions, holes = read_regions(os.path.join(args.vatspy, "Boundaries.geojson"))
    rows = read_fir_rows(os.path.join(args.vatspy, "VATSpy.dat"))
    places = AirportPlaces(os.path.join(args.out, "airports.dat"))

    entries = []            # (id, region, name, icao)
    taken = set()

    def add(entry_id, region, name, icao):
        if not entry_id or entry_id.upper() in taken or region is None:
            return False
        taken.add(entry_id.upper())
        entries.append((entry_id, region, name, icao))
        return True

    def oceanic_name(name):
        return name if "oceanic" in name.lower() else (name + " Oceanic").strip()

    for row in rows:
        domestic = regions.get((row["boundary"], False))
        oceanic = regions.get((row["boundary"], True))
        row_id = row["prefix"] or row["icao"]
        add(row_id, domestic or oceanic, row["name"], row["icao"])
        if domestic and oceanic:
            add(row_id + "_O", oceanic, oceanic_name(row["name"]), row["icao"])
            add(row["boundary"] + "_O", oceanic, oceanic_name(row["name"]), row["icao"])
    for row in rows:
        if row["prefix"] and CALLSIGN_ID.match(row["icao"]):
            domestic = regions.get((row["boundary"], False))
            oceanic = regions.get((row["boundary"], True))
            add(row["icao"], domestic or oceanic, row["name"], row["icao"])
    # A region that no row reaches (its rows' prefixes were all taken by
    # earlier rows) is listed under its boundary id written the way call
    # signs are ("OBBB-S" as "OBBB_S"), with the name of a row that names it.
    listed = {id(e[1]) for e in entries}
    for (boundary_id, is_oceanic), region in regions.items():
        if id(region) in listed:
            continue
        names = [row["name"] for row in rows if row["boundary"] == boundary_id]
        name = names[0] if names else ""
        entry_id = boundary_id.replace("-", "_")
        if is_oceanic and (boundary_id, False) in regions:
            entry_id += "_O"
            name = oceanic_name(name)
        if add(entry_id, region, name, boundary_id) or add(boundary_id, region, name, boundary_id):
            print("listed by its boundary id: %s" % entries[-1][0])
        else:
            print("not listed, its ids are taken: %s" % boundary_id)

    display = []
    vertices = added = 0
    next_number = FIRST_NUMBER
    for _, region, _, _ in entries:
        if region.number is None:
            region.number = next_number
            next_number += 1
            block, count, extra = polygon_lines(region.number, region.ring)
            display.extend(block)
            vertices += count
            added += extra
    display.append("DISPLAY_LIST_END")
    if next_number - 1 > LAST_NUMBER:
        sys.exit("too many polygons: %d" % (next_number - FIRST_NUMBER))

    list_lines = []
    step_counts = Counter()
    for entry_id, region, name, icao in entries:
        place, step = places.place_code(icao or region.boundary_id, region)
        step_counts[step] += 1
        name = clean_field(name) or "Unknown"
        fields = [to_cp1252(clean_field(entry_id)), to_cp1252(name), to_cp1252(place),
                  format_single(region.label[0]).encode(), format_single(region.label[1]).encode(),
                  str(region.number).encode()]
        list_lines.append(b":".join(fields))
        if args.verbose and step != 1:
            print("  place %s for %s (%s) by rule %d" % (place, entry_id, icao, step))

    write_lines(os.path.join(args.out, "firdisplay.dat"), display)
    write_lines(os.path.join(args.out, "firlist.dat"), list_lines)

    used = [r for r in regions.values() if r.number is not None]
    print("firdisplay.dat: %d polygons, %d vertex lines (%d added on long edges), numbers %d..%d"
          % (len(used), vertices + added, added, FIRST_NUMBER, next_number - 1))
    print("firlist.dat: %d sectors from %d [FIRs] rows; place codes by rule %s"
          % (len(list_lines), len(rows),
             ", ".join("%s: %d" % (k or "ZZ", v) for k, v in sorted(step_counts.items()))))
    print("regions: %d (%d oceanic), %d joined at the 180th meridian, "
          "%d repeated rings dropped, %d rings left out, %d holes left out"
          % (len(regions), sum(1 for r in regions.values() if r.oceanic),
             sum(r.joins for r in regions.values()), sum(r.duplicates for r in regions.values()),
             sum(r.left_out for r in regions.values()), holes))
    for region in regions.values():
        if region.left_out and args.verbose:
            print("  %s%s: %d ring(s) left out" % (region.boundary_id,
                                                    " (oceanic)" if region.oceanic else "",
                                                    region.left_out))


if __name__ == "__main__":
    main()
