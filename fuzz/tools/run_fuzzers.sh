#!/bin/sh
# Runs the fuzzers one after another, each for SECONDS (default 600), at the lowest
# priority, growing a working corpus per target from the committed seeds. Crashing inputs
# land in $WORK/artifacts/<target>/. Usage: run_fuzzers.sh BUILD_DIR [target ...]
set -u
BUILD=${1:?build folder with fuzz/fuzz_<target>}
shift
SECONDS_PER_TARGET=${SECONDS_PER_TARGET:-600}
FUZZ=$(cd "$(dirname "$0")/.." && pwd)
WORK=${WORK:-$BUILD/fuzz-work}
TARGETS=${*:-"document pageedit ccitt annotations writers"}
for t in $TARGETS; do
    mkdir -p "$WORK/corpus/$t" "$WORK/artifacts/$t"
    echo "== $t $(date -u +%H:%M:%S)"
    nice -n 19 "$BUILD/fuzz/fuzz_$t" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
        -ignore_ooms=1 -timeout=30 -rss_limit_mb=3072 -max_total_time="$SECONDS_PER_TARGET" \
        -print_final_stats=1 -artifact_prefix="$WORK/artifacts/$t/" \
        "$WORK/corpus/$t" "$FUZZ/corpus/$t" > "$WORK/$t.log" 2>&1
    tail -n 3 "$WORK/$t.log"
done
