#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, libFuzzer with AddressSanitizer and UBSan)
# with clang and runs each for the given number of seconds (default 60):
#
#   tools/fuzz.sh [seconds] [target...]
#
# Targets are named as in fuzz/ without "_fuzz.cpp" (snapshot, converter,
# ...); without names every target runs. Each run starts from the seeds in
# fuzz/corpus/<target> (the inputs of past findings among them) and, where
# ../shared is beside the tree, slices of ../shared/realdata and the inputs
# of ../shared/reproductions that are meant for the target; it keeps what it
# learns in <build>/corpus/<target> for the next run. A finding (crash, leak,
# undefined behaviour, time-out, broken promise) is saved under
# <build>/findings/<target>/, printed in base64, and makes the script end with
# status 1 once every target has run.
#
# KESTRAVA_FUZZ_BUILD: the build folder (default build-fuzz).
# KESTRAVA_FUZZ_JOBS: parallel compile jobs (default: every core).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build=${KESTRAVA_FUZZ_BUILD:-$root/build-fuzz}
jobs=${KESTRAVA_FUZZ_JOBS:-$(nproc)}
shared=$root/../shared
all_targets=(snapshot status gzip settings colour_theme line_file sector_data friends converter companion json_feed vatspy_data)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

case "$seconds" in
  ''|*[!0-9]*) echo "fuzz.sh: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
for t in "${targets[@]}"; do
  [ -f "$root/fuzz/${t}_fuzz.cpp" ] || { echo "fuzz.sh: no target '$t' (fuzz/${t}_fuzz.cpp)" >&2; exit 2; }
done
command -v clang++-14 >/dev/null || { echo "fuzz.sh: clang++-14 is missing (tools/install-deps.sh)" >&2; exit 2; }

echo "== Building the fuzz targets in $build"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRAVA_FUZZ=ON -DKESTRAVA_TESTS=OFF -DKESTRAVA_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target $(printf '%s_fuzz ' "${targets[@]}") -j"$jobs"

# Small slices of the real files of the field, made afresh for each run and
# never kept in the repository (the captures hold real names and ids).
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{snapshot,status,gzip,converter,settings}
slice_snapshot() {  # network byte, file, name
  { printf "$1"
    awk '/^!GENERAL/{g=1} g&&m<8{print;m++}' "$2"
    awk '/^!CLIENTS/{c=1} c&&n<25{print;n++}' "$2"
  } >"$seeds/snapshot/$3"
}
if [ -d "$shared/realdata" ]; then
  real=$shared/realdata
  i=0
  for f in "$real"/ivao-whazzup/*.txt "$real"/whazzup-variants/*.txt; do
    [ -f "$f" ] && slice_snapshot '\000' "$f" "ivao-$((i++))"
  done
  for f in "$real"/vatsim-data-txt/*.txt; do
    [ -f "$f" ] && slice_snapshot '\001' "$f" "vatsim-$((i++))"
  done
  for f in "$real"/status/*; do
    [ -f "$f" ] && { printf '\000'; head -c 4096 "$f"; } >"$seeds/status/real-$((i++))"
  done
  f=$real/ivao-whazzup/IVAO-Library__whazzup.txt
  [ -f "$f" ] && head -n 30 "$f" | gzip -n >"$seeds/gzip/real.gz"
  for f in "$real"/sct/*.sct; do
    [ -f "$f" ] || continue
    { printf '\000'
      awk '/^\[/{s=$0; n=0; print; next}
           s~/^\[(VOR|NDB|FIXES)\]/ && n<10 {print; n++}
           s~/^\[ARTCC/ && n<40 {print; n++}' "$f"
    } >"$seeds/converter/sct-$((i++))"
  done
  ivae=$real/ivae-firs-fir-dat/IVAO-status
  if [ -f "$ivae/firs.dat" ]; then
    { printf '\004'; head -n 30 "$ivae/firs.dat"; printf '\n@@\n'; head -n 80 "$ivae/fir.dat"; } >"$seeds/converter/ivae"
  fi
fi
if [ -d "$shared/reproductions" ]; then
  for f in "$shared"/reproductions/whazzup-*; do [ -f "$f" ] && cp "$f" "$seeds/snapshot/"; done
  for f in "$shared"/reproductions/firforge-*; do [ -f "$f" ] && cp "$f" "$seeds/converter/"; done
  for f in "$shared"/reproductions/ini-*; do [ -f "$f" ] && cp "$f" "$seeds/settings/"; done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  work=$build/corpus/$t
  findings=$build/findings/$t
  mkdir -p "$work" "$findings"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
  dict=$root/fuzz/dictionaries/$t.dict
  [ -f "$dict" ] && args+=(-dict="$dict")
  corpora=("$work")
  for extra in "$root/fuzz/corpus/$t" "$seeds/$t"; do
    [ -d "$extra" ] && [ -n "$(ls -A "$extra")" ] && corpora+=("$extra")
  done
  echo "== $t: ${seconds} s"
  log=$build/fuzz-$t.log
  started=$build/fuzz-$t.started
  touch "$started"
  if "$build/fuzz/${t}_fuzz" "${args[@]}" "${corpora[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  else
    failed+=("$t")
    tail -n 60 "$log"
    # This run's findings; earlier ones stay in the folder too.
    find "$findings" -type f -newer "$started" | while read -r finding; do
      echo "-- finding $finding ($(stat -c %s "$finding") bytes), base64:"
      head -c 65536 "$finding" | base64
    done
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: findings in: ${failed[*]} (inputs under $build/findings/)" >&2
  exit 1
fi
echo "fuzz.sh: no findings"
