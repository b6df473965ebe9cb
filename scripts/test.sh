#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs the whole test suite
# headless. Set KTDV_PRESET=asan for the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
preset="${KTDV_PRESET:-ci}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -- -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j"$(nproc)"
