#!/usr/bin/env bash
# Checks that the suite stands on its own: clones the repository's committed
# HEAD into a temporary folder with no ../shared beside it, builds only the
# test programs there and runs ctest (the window tests under Xvfb). Tests
# that need the real captures skip, saying which folder is missing.
#
#   tools/test-without-shared.sh [jobs]
#
# jobs: parallel compile jobs (default: every core). KEEP=1 keeps the clone.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${1:-$(nproc)}
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrava-alone-XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
# The clone lies one level down, so that its ../shared is $work/shared:
# nothing is there.
clone=$work/kestrava
git clone --quiet --no-hardlinks "$root" "$clone"
[ ! -e "$work/shared" ] || { echo "test-without-shared.sh: $work/shared exists" >&2; exit 2; }

cmake -S "$clone" -B "$clone/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Every test program the build defines (those of optional folders only where
# the folder is there), with what they start.
targets=$(cmake --build "$clone/build" --target help | sed -n 's/^\.\.\. \([a-z_]*_tests\)$/\1/p')
[ -n "$targets" ] || { echo "test-without-shared.sh: no test programs found" >&2; exit 2; }
# shellcheck disable=SC2086
cmake --build "$clone/build" -j"$jobs" --target $targets

export LIBGL_ALWAYS_SOFTWARE=1
unset KESTRAVA_REALDATA
# The packaging checks need the whole build and read nothing of ../shared;
# run-tests.sh runs them.
xvfb-run -a -s "-screen 0 1600x1000x24" \
  ctest --test-dir "$clone/build" --output-on-failure -j"$jobs" -E '^Packaging\.'

