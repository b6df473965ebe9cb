#!/usr/bin/env bash
# Installs what is missing, builds in the demo's build folder with its flags (warnings are
# errors), so nothing the demo built compiles again, and runs the whole test suite headless. Set KTDV_PRESET=asan for the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
preset="${KTDV_PRESET:-dev}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j"$(nproc)"
