#!/usr/bin/env python3
"""Builds data/coastline.dat and data/countries.dat from the Natural Earth
1:10m TopoJSON files of the world-atlas package.

coastline.dat: the outlines of land-10m.json's land polygons. The cuts that
Natural Earth makes along the 180th meridian and around the South Pole are
not coastline; they are left out and the outline is split there.

countries.dat: every arc of countries-10m.json that two different countries
use, written once; arcs that meet end to end at a point no other border
touches are joined into one polyline.

Both files hold one "<lat>:<lon>" line per point and a line "end" between
polylines. The viewer starts a new polyline after any point whose latitude
plus longitude is 0, so such a point is moved by one written step.
"""

import argparse
import json
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from datatext import format_units, write_lines  # noqa: E402

DECIMALS = 4                 # written places: 0.0001 degree
STEP = 10 ** DECIMALS        # steps per degree
SOUTH_POLE_CUT = -89.9       # points further south belong to the pole cut


class Topology:
    """Decoded arcs of one TopoJSON file, in degrees."""

    def __init__(self, path):
        with open(path, encoding="utf-8") as f:
            self.data = json.load(f)
        transform = self.data.get("transform")
        self.arcs = []
        for arc in self.data["arcs"]:
            points = []
            if transform:
                sx, sy = transform["scale"]
                tx, ty = transform["translate"]
                x = y = 0
                for dx, dy in arc:
                    x += dx
                    y += dy
                    points.append((ty + y * sy, tx + x * sx))
            else:
                points = [(p[1], p[0]) for p in arc]
            self.arcs.append(points)

    def arc(self, index):
        """Points of an arc reference; a negative reference (~i) is arc i
        walked backwards."""
        if index >= 0:
            return self.arcs[index]
        return self.arcs[~index][::-1]

    def ring(self, references):
        points = []
        for ref in references:
            arc = self.arc(ref)
            points.extend(arc if not points else arc[1:])
        return points

    def geometries(self, name):
        return self.data["objects"][name]["geometries"]


def polygon_rings(geometry):
    if geometry["type"] == "Polygon":
        return list(geometry["arcs"])
    if geometry["type"] == "MultiPolygon":
        return [ring for polygon in geometry["arcs"] for ring in polygon]
    return []


def geometry_arc_ids(geometry):
    ids = set()
    for ring in polygon_rings(geometry):
        for ref in ring:
            ids.add(ref if ref >= 0 else ~ref)
    return ids


def on_antimeridian(lon):
    return abs(abs(lon) - 180.0) < 1e-9


def is_cut_segment(p, q):
    """True for a segment that only exists because the data was cut: along
    the 180th meridian or around the South Pole."""
    if on_antimeridian(p[1]) and on_antimeridian(q[1]):
        return True
    return p[0] < SOUTH_POLE_CUT and q[0] < SOUTH_POLE_CUT


def split_at_cuts(points, closed):
    """The pieces of a polyline without its cut segments. A closed ring is
    started just after a cut so that no piece wraps around its start."""
    n = len(points)
    if n < 2:
        return []
    segments = list(zip(points, points[1:]))
    cuts = [is_cut_segment(p, q) for p, q in segments]
    if not any(cuts):
        return [points]
    if closed:
        # Rotate so that segment 0 follows a cut segment.
        start = next(i for i in range(len(cuts)) if cuts[i - 1] and not cuts[i]) \
            if not all(cuts) else 0
        ring = points[:-1]
        ring = ring[start:] + ring[:start]
        points = ring + [ring[0]]
        segments = list(zip(points, points[1:]))
        cuts = [is_cut_segment(p, q) for p, q in segments]
    pieces = []
    current = None
    for (p, q), cut in zip(segments, cuts):
        if cut:
            if current:
                pieces.append(current)
            current = None
            continue
        if current is None:
            current = [p]
        current.append(q)
    if current:
        pieces.append(current)
    return pieces


def unit_vector(point):
    lat = math.radians(point[0])
    lon = math.radians(point[1])
    c = math.cos(lat)
    return (c * math.sin(lon), math.sin(lat), c * math.cos(lon))


def distance_to_chord(p, a, b):
    """Distance of p from the chord a-b on the unit sphere (about the angle
    in radians for the short distances that matter here)."""
    abx, aby, abz = b[0] - a[0], b[1] - a[1], b[2] - a[2]
    apx, apy, apz = p[0] - a[0], p[1] - a[1], p[2] - a[2]
    length2 = abx * abx + aby * aby + abz * abz
    t = 0.0
    if length2 > 0:
        t = max(0.0, min(1.0, (apx * abx + apy * aby + apz * abz) / length2))
    dx, dy, dz = apx - t * abx, apy - t * aby, apz - t * abz
    return math.sqrt(dx * dx + dy * dy + dz * dz)


def simplify(points, tolerance):
    """Douglas-Peucker on the sphere; the end points always stay. A closed
    ring is split at its point furthest from the start so that it keeps at
    least that point."""
    n = len(points)
    if tolerance <= 0 or n < 3:
        return points
    vectors = [unit_vector(p) for p in points]
    keep = [False] * n
    keep[0] = keep[n - 1] = True
    stack = [(0, n - 1)]
    if points[0] == points[-1]:
        far = max(range(1, n - 1),
                  key=lambda i: distance_to_chord(vectors[i], vectors[0], vectors[0]))
        keep[far] = True
        stack = [(0, far), (far, n - 1)]
    while stack:
        first, last = stack.pop()
        if last - first < 2:
            continue
        a, b = vectors[first], vectors[last]
        worst, worst_index = -1.0, first
        for i in range(first + 1, last):
            d = distance_to_chord(vectors[i], a, b)
            if d > worst:
                worst, worst_index = d, i
        if worst > tolerance:
            keep[worst_index] = True
            stack.append((first, worst_index))
            stack.append((worst_index, last))
    return [p for p, k in zip(points, keep) if k]


def to_steps(points):
    """Points as whole numbers of written steps, without repeats, each moved
    off the line lat + lon = 0 where the viewer would break the polyline."""
    out = []
    nudged = 0
    for lat, lon in points:
        la = round(lat * STEP)
        lo = round(lon * STEP)
        if la + lo == 0:
            la += 1 if la < 90 * STEP else -1
            nudged += 1
        if not out or out[-1] != (la, lo):
            out.append((la, lo))
    return out, nudged


class LineWriter:
    def __init__(self):
        self.lines = []
        self.polylines = 0
        self.points = 0
        self.nudged = 0

    def add(self, points):
        steps, nudged = to_steps(points)
        if len(steps) < 2:
            return
        if self.polylines:
            self.lines.append("end")
        self.lines.extend(format_units(la, DECIMALS) + ":" + format_units(lo, DECIMALS)
                          for la, lo in steps)
        self.polylines += 1
        self.points += len(steps)
        self.nudged += nudged


def build_coastline(topology, tolerance):
    writer = LineWriter()
    cut_pieces = 0
    for geometry in topology.geometries("land"):
        for ring_refs in polygon_rings(geometry):
            ring = topology.ring(ring_refs)
            pieces = split_at_cuts(ring, closed=ring[0] == ring[-1])
            if len(pieces) != 1 or pieces[0] is not ring:
                cut_pieces += 1
            for piece in pieces:
                writer.add(simplify(piece, tolerance))
    return writer, cut_pieces


def chain_arcs(topology, arc_ids):
    """Joins arcs that meet end to end where no third arc of the set ends,
    giving the longest polylines that draw each arc once."""
    def key(point):
        return (round(point[0] * 1e7), round(point[1] * 1e7))

    ends = {}
    for i in arc_ids:
        arc = topology.arcs[i]
        ends.setdefault(key(arc[0]), []).append(i)
        ends.setdefault(key(arc[-1]), []).append(i)

    def next_arc(node, current, used):
        others = ends[node]
        if len(others) != 2:
            return None
        other = others[0] if others[1] == current else others[1]
        if others[0] == others[1] or other in used:
            return None
        return other

    used = set()
    chains = []
    for start in sorted(arc_ids):
        if start in used:
            continue
        used.add(start)
        line = list(topology.arcs[start])
        # forwards
        current = start
        while True:
            node = key(line[-1])
            other = next_arc(node, current, used)
            if other is None:
                break
            arc = topology.arcs[other]
            arc = arc if key(arc[0]) == node else arc[::-1]
            line.extend(arc[1:])
            used.add(other)
            current = other
        # backwards
        current = start
        while True:
            node = key(line[0])
            other = next_arc(node, current, used)
            if other is None:
                break
            arc = topology.arcs[other]
            arc = arc if key(arc[-1]) == node else arc[::-1]
            line[:0] = arc[:-1]
            used.add(other)
            current = other
        chains.append(line)
    return chains


def build_borders(topology, tolerance):
    users = {}
    for index, geometry in enumerate(topology.geometries("countries")):
        for arc_id in geometry_arc_ids(geometry):
            users.setdefault(arc_id, set()).add(index)
    shared = {arc_id for arc_id, who in users.items() if len(who) >= 2}
    writer = LineWriter()
    chains = chain_arcs(topology, shared)
    for chain in chains:
        for piece in split_at_cuts(chain, closed=chain[0] == chain[-1]):
            writer.add(simplify(piece, tolerance))
    return writer, len(shared), len(chains)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--atlas", default=os.path.join(here, "node_modules", "world-atlas"),
                        help="folder of the world-atlas package")
    parser.add_argument("--out", default=os.path.join(here, "..", "data"),
                        help="folder that receives coastline.dat and countries.dat")
    parser.add_argument("--tolerance", type=float, default=0.002,
                        help="simplification tolerance in degrees (0: none)")
    args = parser.parse_args()
    tolerance = math.radians(args.tolerance)

    land = Topology(os.path.join(args.atlas, "land-10m.json"))
    coast, cut = build_coastline(land, tolerance)
    write_lines(os.path.join(args.out, "coastline.dat"), coast.lines)
    print("coastline.dat: %d polylines, %d points (%d rings split at cuts, %d points moved)"
          % (coast.polylines, coast.points, cut, coast.nudged))

    countries = Topology(os.path.join(args.atlas, "countries-10m.json"))
    borders, shared, chains = build_borders(countries, tolerance)
    write_lines(os.path.join(args.out, "countries.dat"), borders.lines)
    print("countries.dat: %d polylines, %d points (%d shared arcs in %d chains, %d points moved)"
          % (borders.polylines, borders.points, shared, chains, borders.nudged))


if __name__ == "__main__":
    main()
