#!/usr/bin/env bash
# Builds the screenshot program and runs it under a virtual X server; the PNG files go to
# the folder given (default: build/dev/screens).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/dev/screens}")
cmake --preset dev >/dev/null
cmake --build --preset dev --target ktdv_screens
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1920x1080x24" \
    ./build/dev/tests/screens/ktdv_screens "$out"
