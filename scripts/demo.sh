#!/usr/bin/env bash
# Installs what is missing, builds, and opens the sample document in the demo viewer.
# Without a display the viewer is rendered offscreen to a PNG file and its path printed.
# Extra arguments go to the demo (e.g. a document path, --permission 8).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target ktdocview_demo -- -j"$(nproc)"
exec ./build/dev/app/ktdocview/ktdocview "$@"
