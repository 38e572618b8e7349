#!/usr/bin/env bash
# Makes the Debian package of a build folder (whose programs are built) in a
# temporary folder and checks what it holds: the programs, their data, the
# commands, menu entries, icons, metainfo and licences; nothing of the tests,
# benchmarks or fuzz targets, no user's file; the runtime dependencies; the
# demo feed naming its snapshots beside itself. Prints the package's size and
# its installed size. Keeps the package when a second folder is given.
#
#     packaging/check-package.sh build [keep-folder]
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh <build folder> [keep-folder]}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrava-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

start=$(date +%s.%N)
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
end=$(date +%s.%N)
deb=$(ls "$work"/kestrava_*_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no kestrava_*.deb made"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
  ./usr/bin/kestrav ./usr/bin/firforge ./usr/bin/kestrava-settings ./usr/bin/firglass ./usr/bin/huebench
  ./usr/lib/kestrava/kestrav ./usr/lib/kestrava/firforge ./usr/lib/kestrava/settings
  ./usr/lib/kestrava/firglass ./usr/lib/kestrava/huebench ./usr/lib/kestrava/companion.txt
  ./usr/lib/kestrava/kestrava-installed.txt
  ./usr/lib/kestrava/colours/default.dc
  ./usr/lib/kestrava/data/airports.dat ./usr/lib/kestrava/data/coastline.dat
  ./usr/lib/kestrava/data/countries.dat ./usr/lib/kestrava/data/firdisplay.dat
  ./usr/lib/kestrava/data/firlist.dat ./usr/lib/kestrava/data/LICENSE-VATSpy.txt
  ./usr/lib/kestrava/demo/ivao-status.txt ./usr/lib/kestrava/demo/vatsim-status.txt
  ./usr/share/metainfo/org.kestrava.Kestrava.metainfo.xml
  ./usr/share/doc/kestrava/copyright ./usr/share/doc/kestrava/SOURCES.md
  ./usr/share/doc/kestrava/LICENSE-VATSpy.txt
)
for id in Kestrava Firforge Settings Firglass Huebench; do
  expected+=(./usr/share/applications/org.kestrava.$id.desktop
             ./usr/share/icons/hicolor/scalable/apps/org.kestrava.$id.svg)
  for size in 16 24 32 48 64 128 256; do
    expected+=(./usr/share/icons/hicolor/${size}x${size}/apps/org.kestrava.$id.png)
  done
done
for path in "${expected[@]}"; do
  grep -qxF -- "$path" <<<"$listing" || fail "missing: $path"
done
unwanted=$(grep -E '(_tests|_bench|_fuzz)$|/tests/|/bench/|^\./usr/bin/settings$|kestrav\.ini$|friends\.dat$|/data/whazzup' \
             <<<"$listing" || true)
[ -z "$unwanted" ] || fail "must not be packaged: $unwanted"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libcurl4 zlib1g fonts-dejavu-core libgl1-mesa-dri; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
grep -q qt6-wayland <<<"$recommends" || fail "Recommends lacks qt6-wayland: $recommends"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/kestrava/demo/ivao-status.txt |
  grep -q '^gzurl0=ivao/whazzup.txt.gz' || fail "the demo feed does not name its snapshots beside itself"
if dpkg-deb --fsys-tarfile "$deb" | tar -xO --wildcards './usr/lib/kestrava/demo/*' | grep -aq 'file://'; then
  fail "the demo feed holds an absolute address"
fi

printf '%s: %d bytes, installed size %s KiB, made in %.1f s\n' "$(basename "$deb")" "$(stat -c %s "$deb")" \
  "$(dpkg-deb -f "$deb" Installed-Size)" "$(awk "BEGIN { print $end - $start }")"
echo "Depends: $depends"
if [ -n "${2:-}" ]; then
  mkdir -p "$2" && cp "$deb" "$2"/
fi
