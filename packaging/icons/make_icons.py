#!/usr/bin/env python3
"""Draws the Kestrava emblem and its four side-program variants as SVG and
renders the PNG sizes of the hicolor theme with rsvg-convert.

The emblem: a night-blue tile, a globe with two parallels and a meridian,
and a kestrel's swept wings crossing it. Each side program adds a small
badge in the lower right corner. Run from anywhere; writes beside itself:

    packaging/icons/scalable/<id>.svg
    packaging/icons/<n>x<n>/<id>.png
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 24, 32, 48, 64, 128, 256)

TILE = ('<rect x="8" y="8" width="240" height="240" rx="44" fill="url(#sky)"/>'
        '<rect x="8" y="8" width="240" height="240" rx="44" fill="none" stroke="#0b1a33" stroke-width="4"/>')
GLOBE = ('<circle cx="128" cy="132" r="82" fill="#123a63" stroke="#5fc7d8" stroke-width="8"/>'
         '<ellipse cx="128" cy="132" rx="36" ry="82" fill="none" stroke="#5fc7d8" stroke-width="5"/>'
         '<path d="M52 104 Q128 88 204 104 M52 160 Q128 176 204 160" fill="none" stroke="#5fc7d8" stroke-width="5"/>')
# Swept wings, a tail and a head: the kestrel, in flight to the upper right.
KESTREL = ('<path d="M34 150 C78 128 104 118 124 112 L150 62 C154 54 166 54 164 66 L152 112 '
           'C178 110 206 100 230 80 C214 112 184 130 150 136 L138 176 L120 170 L126 138 '
           'C96 144 66 152 34 150 Z" fill="#f29a2e" stroke="#5a2d06" stroke-width="5" stroke-linejoin="round"/>'
           '<circle cx="160" cy="104" r="5" fill="#5a2d06"/>')

BADGE_BACK = '<circle cx="196" cy="196" r="46" fill="#f4f1e8" stroke="#0b1a33" stroke-width="6"/>'
BADGES = {
    # Sector converter: a sector outline turning into a list.
    "org.kestrava.Firforge": BADGE_BACK +
        '<path d="M168 206 L180 174 L204 182 L198 212 Z" fill="none" stroke="#1f6f8b" stroke-width="6" '
        'stroke-linejoin="round"/><path d="M208 196 H228 M208 180 H228 M208 212 H228" stroke="#f29a2e" '
        'stroke-width="6"/>',
    # Settings editor: three sliders.
    "org.kestrava.Settings": BADGE_BACK +
        '<path d="M170 178 H222 M170 196 H222 M170 214 H222" stroke="#0b1a33" stroke-width="5"/>'
        '<circle cx="184" cy="178" r="7" fill="#f29a2e"/><circle cx="210" cy="196" r="7" fill="#1f6f8b"/>'
        '<circle cx="192" cy="214" r="7" fill="#f29a2e"/>',
    # Sector viewer: a filled sector with its label dot.
    "org.kestrava.Firglass": BADGE_BACK +
        '<path d="M168 210 L176 174 L208 168 L226 196 L204 222 Z" fill="#5fc7d8" fill-opacity="0.6" '
        'stroke="#1f6f8b" stroke-width="6" stroke-linejoin="round"/><circle cx="198" cy="196" r="6" '
        'fill="#0b1a33"/>',
    # Colour editor: three swatches.
    "org.kestrava.Huebench": BADGE_BACK +
        '<circle cx="182" cy="186" r="13" fill="#e2483d"/><circle cx="210" cy="186" r="13" fill="#3fae5a"/>'
        '<circle cx="196" cy="210" r="13" fill="#3f6fd8"/>',
}


def svg(badge):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n'
            '<defs><linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#24507f"/><stop offset="1" stop-color="#0d2240"/>'
            '</linearGradient></defs>\n'
            + TILE + '\n' + GLOBE + '\n' + KESTREL + '\n' + badge + '\n</svg>\n')


def main():
    icons = {"org.kestrava.Kestrava": ""}
    icons.update(BADGES)
    os.makedirs(os.path.join(HERE, "scalable"), exist_ok=True)
    for name, badge in icons.items():
        source = os.path.join(HERE, "scalable", name + ".svg")
        with open(source, "w", encoding="utf-8") as out:
            out.write(svg(badge))
        for size in SIZES:
            folder = os.path.join(HERE, "%dx%d" % (size, size))
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o",
                            os.path.join(folder, name + ".png"), source], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
