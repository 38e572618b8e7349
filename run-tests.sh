#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test; the tests
# that open windows run under a virtual X server. Then each fuzz target runs
# briefly.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --test-dir build --output-on-failure -j"$(nproc)"
# Every fuzz target for 20 seconds (clang, ASan and UBSan, in build-fuzz/);
# a finding fails the run and is kept under build-fuzz/findings/.
bash tools/fuzz.sh 20
