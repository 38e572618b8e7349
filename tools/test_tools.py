#!/usr/bin/env python3
"""Tests of the data converters' own rules: python3 -m unittest test_tools
(run inside tools/)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import make_airports  # noqa: E402
import make_map_lines  # noqa: E402
from datatext import clean_field, format_single, format_units, to_cp1252  # noqa: E402


class NumberTexts(unittest.TestCase):
    def test_written_steps_have_no_trailing_zeros_or_negative_zero(self):
        self.assertEqual(format_units(475000, 4), "47.5")
        self.assertEqual(format_units(-2500, 4), "-0.25")
        self.assertEqual(format_units(190000, 4), "19")
        self.assertEqual(format_units(-1, 4), "-0.0001")
        self.assertEqual(format_units(0, 4), "0")

    def test_single_precision_keeps_seven_digits_without_exponent(self):
        self.assertEqual(format_single(13.719472), "13.71947")
        self.assertEqual(format_single(-180.0), "-180")
        self.assertEqual(format_single(0.000012), "0.000012")
        self.assertEqual(format_single(-0.0), "0")


class WindowsTexts(unittest.TestCase):
    def test_letters_of_windows_1252_stay_and_others_fall_back(self):
        self.assertEqual(to_cp1252("Egilsstaðir Köln"), "Egilsstaðir Köln".encode("cp1252"))
        self.assertEqual(to_cp1252("Łódź Băneasa Ştefan"), b"L\xf3dz Baneasa Stefan")
        self.assertEqual(to_cp1252("Ağrı"), b"Agri")
        self.assertEqual(to_cp1252("北京"), b"??")

    def test_fields_lose_colons_and_control_characters(self):
        self.assertEqual(clean_field("Group: 308th  Squadron"), "Group - 308th Squadron")
        self.assertEqual(clean_field("Ryu:x\tTower\r\n"), "Ryu-x Tower")


class LineFiles(unittest.TestCase):
    def test_points_on_the_break_line_move_one_step(self):
        steps, moved = make_map_lines.to_steps([(10.0, -10.0), (10.0, -9.0), (0.0, 0.0)])
        self.assertEqual(moved, 2)
        self.assertTrue(all(lat + lon != 0 for lat, lon in steps))
        self.assertEqual(steps[0], (100001, -100000))

    def test_cut_segments_along_the_meridian_split_a_ring(self):
        ring = [(60.0, 170.0), (60.0, 180.0), (70.0, 180.0), (70.0, 170.0), (60.0, 170.0)]
        pieces = make_map_lines.split_at_cuts(ring, closed=True)
        self.assertEqual(pieces, [[(70.0, 180.0), (70.0, 170.0), (60.0, 170.0), (60.0, 180.0)]])

    def test_segments_around_the_south_pole_are_cut(self):
        line = [(-80.0, 0.0), (-90.0, 0.0), (-90.0, 90.0), (-80.0, 90.0)]
        pieces = make_map_lines.split_at_cuts(line, closed=False)
        self.assertEqual(pieces, [[(-80.0, 0.0), (-90.0, 0.0)], [(-90.0, 90.0), (-80.0, 90.0)]])

    def test_segment_crossing_the_meridian_is_coastline(self):
        line = [(65.0, 179.9), (65.0, -180.0), (65.1, -179.9)]
        self.assertEqual(make_map_lines.split_at_cuts(line, closed=False), [line])

    def test_simplification_keeps_ends_and_corners(self):
        line = [(0.0, 0.0), (0.0, 0.5), (0.00001, 1.0), (1.0, 1.0)]
        kept = make_map_lines.simplify(line, tolerance=1e-4)
        self.assertEqual(kept, [(0.0, 0.0), (0.00001, 1.0), (1.0, 1.0)])


class Airports(unittest.TestCase):
    def test_idents_come_before_gps_codes_and_closed_airports_are_out(self):
        table = [
            {"identifier": "AB-01", "gpsCode": "EDDX", "type": "heliport", "name": "gps"},
            {"identifier": "EDDX", "gpsCode": "", "type": "small_airport", "name": "ident"},
            {"identifier": "EDDY", "gpsCode": "", "type": "closed", "name": "closed"},
            {"identifier": "US-1", "gpsCode": "KABC", "type": "small_airport", "name": "kabc"},
            {"identifier": "E1DD", "gpsCode": "", "type": "small_airport", "name": "digit"},
        ]
        chosen = [(code, a["name"]) for code, a in make_airports.choose_airports(table)]
        self.assertEqual(chosen, [("EDDX", "ident"), ("KABC", "kabc")])

    def test_line_has_six_fields_and_at_most_six_decimals(self):
        line = make_airports.airport_line("EDDF", {
            "name": "Frankfurt: Main", "municipality": "Frankfurt", "country": "DE",
            "latitude": 50.03024123, "longitude": 8.5})
        self.assertEqual(line, b"EDDF:Frankfurt - Main:Frankfurt:DE:50.030241:8.5")


if __name__ == "__main__":
    unittest.main()
