#!/usr/bin/env bash
# Regenerates the shipped map, airport and sector files in data/ from their
# sources: installs the pinned npm packages, then runs the converters.
#
#   VATSPY_DATA   folder with the VAT-Spy data project's Boundaries.geojson,
#                 VATSpy.dat and LICENSE (default: ../shared/realdata/vatspy
#                 beside the repository)
#   KESTRAVA_BUILD  the CMake build folder that builds the sector converter
#                   vatspy_convert (default: build in the repository)
set -euo pipefail
tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$tools")"
vatspy="${VATSPY_DATA:-$repo/../shared/realdata/vatspy}"
build="${KESTRAVA_BUILD:-$repo/build}"

cd "$tools"
npm ci --no-audit --no-fund --loglevel=error

python3 make_map_lines.py --out "$repo/data"
python3 make_airports.py --out "$repo/data/airports.dat"
# Place codes of the sectors come from airports.dat: run after it.
# The sectors are converted by firforge's own conversion (vatspy_convert).
[ -f "$build/CMakeCache.txt" ] || cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target vatspy_convert >/dev/null
"$build/tools/vatspy_convert" "$vatspy" "$repo/data" "$repo/data/airports.dat"
install -m 0644 "$vatspy/LICENSE" "$repo/data/LICENSE-VATSpy.txt"
python3 check_data.py "$repo/data"
