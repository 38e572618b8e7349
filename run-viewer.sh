#!/usr/bin/env bash
# Installs what is needed, builds everything and starts the viewer. A fresh
# program folder is pointed at the demo feed shipped with the program, so
# pressing I, V or B shows traffic without an internet connection.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
bin="$PWD/build/bin"
if [ ! -f "$bin/kestrav.ini" ]; then
  printf '[Network]\r\nIVAOStatusUrl=file://%s/demo/ivao-status.txt\r\nVATSIMStatusUrl=file://%s/demo/vatsim-status.txt\r\n' \
    "$bin" "$bin" > "$bin/kestrav.ini"
fi
exec "$bin/kestrav"
