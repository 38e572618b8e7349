#!/usr/bin/env bash
# Installs what is needed, builds everything and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec ./build/bin/kestrav
