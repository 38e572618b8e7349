#!/usr/bin/env bash
# Installs what is needed, builds everything and starts the viewer. A fresh
# program folder shows the live networks; "./run-viewer.sh --demo" starts a
# fresh one on the demo feed shipped with the program (DemoFeed=1 in
# kestrav.ini), so pressing I, V or B shows traffic without an internet
# connection.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
bin="$PWD/build/bin"
if [ "${1:-}" = "--demo" ] && [ ! -f "$bin/kestrav.ini" ]; then
  printf '[Network]\r\nDemoFeed=1\r\n' > "$bin/kestrav.ini"
elif [ "${1:-}" = "--demo" ]; then
  echo "kestrav.ini exists: set DemoFeed=1 in its [Network] section for the demo feed" >&2
fi
exec "$bin/kestrav"
