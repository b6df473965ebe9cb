#!/usr/bin/env bash
# Builds and runs every benchmark, then prints one table: our figures, the reference
# measured in the same run (libtiff decoding, tiffcp, the tesseract command line) and
# their ratio, with the machine it ran on.
#
#   bench/run-all.sh                       release preset, build/release
#   KTDV_BENCH_PRESET=dev bench/run-all.sh  RelWithDebInfo, build/dev
#   KTDV_BENCH_BUILD=folder                 build in another folder with the preset's settings
#   KTDV_BENCH_JOBS=n                       build jobs (default: all cores)
#   KTDV_BENCH_OCR_PAGES=n                  pages for the recognition benchmark (default 20)
#   KTDV_BENCH_SHARD_PAGES=n                pages for the sharded batch benchmark (default 40)
# Raw output of each program is kept in <build>/bench-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
preset="${KTDV_BENCH_PRESET:-release}"
build="${KTDV_BENCH_BUILD:-build/$preset}"
jobs="${KTDV_BENCH_JOBS:-$(nproc)}"
ocr_pages="${KTDV_BENCH_OCR_PAGES:-20}"
shard_pages="${KTDV_BENCH_SHARD_PAGES:-40}"
logs="$build/bench-logs"

./scripts/install-deps.sh
cmake --preset "$preset" -B "$build" -DKTDV_BUILD_BENCH=ON >/dev/null
if ! grep -q '^benchmark_DIR:PATH=/' "$build/CMakeCache.txt"; then
  echo "Google Benchmark was not found (libbenchmark-dev); no benchmarks to build." >&2
  exit 1
fi
cmake --build "$build" --target viewer_bench bench_imaging bench_thumbnails bench_edits bench_ocr \
  bench_shards pdf_bench bench_pagetext -- -j"$jobs"

mkdir -p "$logs"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

run() {  # name, command...
  local name=$1
  shift
  echo "== $name" >&2
  local t0=$SECONDS
  "$@" >"$logs/$name.log" 2>"$logs/$name.err" || {
    echo "$name failed (exit $?); see $logs/$name.err" >&2
    return 0
  }
  echo "   $((SECONDS - t0)) s" >&2
}

run imaging "$build/bench/imaging/bench_imaging" --benchmark_out="$logs/imaging.json" \
  --benchmark_out_format=json
run viewer "$build/bench/viewer/viewer_bench" --folder "$work/viewer"
run thumbnails "$build/bench/thumbnails/bench_thumbnails"
run pdf "$build/bench/pdf/pdf_bench" --folder "$work/pdf"
run edits "$build/bench/edits/bench_edits" --folder "$work/edits"
OMP_THREAD_LIMIT=1 run ocr "$build/bench/ocr/bench_ocr" "$ocr_pages"
OMP_THREAD_LIMIT=1 run shards "$build/bench/ocr/bench_shards" "$shard_pages" 4
OMP_THREAD_LIMIT=1 run pagetext "$build/bench/ocr/bench_pagetext" 40 30

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -n1)
mem=$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)

python3 - "$logs" "$preset" "$cpu" "$(nproc)" "$mem" "$load_before" "$load_after" <<'EOF'
import json, re, sys
logs, preset, cpu, cores, mem, load_before, load_after = sys.argv[1:]

def text(name):
    try:
        return open(f"{logs}/{name}.log", encoding="utf-8", errors="replace").read()
    except OSError:
        return ""

rows = []  # measure, ours, reference, ratio, target

def row(measure, ours, ref, ratio, target=""):
    rows.append((measure, ours, ref, ratio, target))

def ms(v):
    return "-" if v is None else (f"{v:.2f} ms" if v < 1000 else f"{v / 1000:.2f} s")

def ratio(a, b):
    return f"{a / b:.2f}" if a is not None and b else "-"

def num(pattern, source, group=1):
    m = re.search(pattern, source, re.M)
    return float(m.group(group)) if m else None

# imaging: Google Benchmark JSON, CPU time per iteration
try:
    with open(f"{logs}/imaging.json", encoding="utf-8") as f:
        bm = {b["name"]: b for b in json.load(f)["benchmarks"]}
except (OSError, ValueError, KeyError):
    bm = {}

def cpu_ms(name):
    b = bm.get(name)
    if not b:
        return None
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
    return b["cpu_time"] * scale

d, r = cpu_ms("BM_DecodeA4G4_Document"), cpu_ms("BM_DecodeA4G4_PlainLibtiff")
row("decode one A4 G4 page (CPU)", ms(d), "libtiff " + ms(r), ratio(d, r))
d, r = cpu_ms("BM_Open1000Pages_Document"), cpu_ms("BM_Open1000Pages_PlainLibtiff")
row("open a 1000-page G4 file (CPU)", ms(d), "libtiff " + ms(r), ratio(d, r))

# viewer: its own summary table
v = text("viewer")
ref = num(r"^libtiff decode of one page \(reference\)\s+([\d.]+)", v)
for label, pattern, target in [
    ("open + first page shown, fit width", r"^open \+ first page shown \(fit width\)\s+([\d.]+)", "<= 3"),
    ("next page shown", r"^next page shown\s+([\d.]+)", "<= 3"),
    ("paging through 1000 pages, per page", r"^paging through every page, per page\s+([\d.]+)", "<= 3"),
    ("resize of the viewer", r"^resize \(no new decode\)\s+([\d.]+)", "<= 0.5"),
]:
    o = num(pattern, v)
    row(label, ms(o), "libtiff " + ms(ref), ratio(o, ref), target)
# pdf: the viewer on a 200-page PDF against pdftoppm drawing the same page at the same size
p = text("pdf")
for label, pattern in [("PDF: open + first page shown, fit width", r"^open \+ first page shown \(fit width\)"),
                       ("PDF: next page shown", r"^next page shown")]:
    o, r = num(pattern + r"\s+([\d.]+)", p), num(pattern + r"\s+[\d.]+\s+([\d.]+)", p)
    row(label, ms(o), "pdftoppm " + ms(r), ratio(o, r), "<= 1.5")
m = re.search(r"^peak memory\s+(\d+) KiB \(10 pages: (\d+) KiB", v, re.M)
if m:
    large, small = int(m.group(1)), int(m.group(2))
    row("peak memory, 1000 vs 10 pages", f"{large / 1024:.0f} MiB", f"{small / 1024:.0f} MiB",
        f"{large / small:.2f}" if small else "-", "flat")

# thumbnails: its own summary
t = text("thumbnails")
first = num(r"first screen of thumbnails\s+([\d.]+) ms", t)
row("first screen of thumbnails", ms(first), "", "", "<= 500 ms")
m = re.search(r"all (\d+) thumbnails.*?([\d.]+) ms\n\s*reference: .*?= +([\d.]+) ms\s+ratio ([\d.]+)", t)
if m:
    row(f"all {m.group(1)} thumbnails", ms(float(m.group(2))),
        f"libtiff decodes / cores {ms(float(m.group(3)))}", m.group(4), "<= 2")
stall = num(r"longest UI stall\s+([\d.]+) ms", t)
row("longest UI stall while thumbnails fill", ms(stall), "", "", "<= 50 ms")
dele = num(r"delete one page\s+([\d.]+) ms", t)
cp = num(r"tiffcp copying the whole file\s+([\d.]+) ms", t)
row("delete one page of 1000", ms(dele), "tiffcp " + ms(cp), ratio(dele, cp), "<= 2")

# edits in place: each against tiffcp copying the file; growth; memory
e = text("edits")
cp = num(r"^tiffcp copying the file\s+([\d.]+) ms", e)
for label in ["delete one page", "move one page", "save an annotation on page 500",
              "undo delete one page", "undo move one page", "undo save an annotation"]:
    o = num(rf"^{label}\s+([\d.]+) ms", e)
    row(f"edit: {label} of 1000", ms(o), "tiffcp " + ms(cp), f"{o / cp:.4f}" if o and cp else "-", "<= 0.01")
m = re.search(r"^size after 100 edits\s+([\d.]+) MB, compacted ([\d.]+) MB\s+ratio ([\d.]+)", e, re.M)
if m:
    row("file size after 100 edits", f"{m.group(1)} MB", f"compacted {m.group(2)} MB", m.group(3), "<= 1.3")
for kind in ["edit", "compaction"]:
    o = num(rf"^peak memory above before, {kind}\s+([\d.]+) MiB", e)
    row(f"peak memory above before, {kind}", "-" if o is None else f"{o:.1f} MiB", "", "", "<= 32 MiB")

# recognition: engine against the command line (ratio = speed-up of ours)
o = text("ocr")
pages = num(r"^(\d+) pages", o)
for kind, label in [("text", "to text"), ("pdf", "to searchable PDF")]:
    m = re.search(rf"^to {kind}\s+engine\s+([\d.]+) s\s+tesseract cli\s+([\d.]+) s", o, re.M)
    if m:
        ours, cli = float(m.group(1)), float(m.group(2))
        row(f"{int(pages or 0)} pages {label}", f"{ours:.2f} s", f"tesseract {cli:.2f} s",
            f"{cli / ours:.2f} (speed-up)" if ours else "-", ">= 1.6")
m = re.search(r"^CER text\s+engine ([\d.]+)\s+tesseract cli ([\d.]+)", o, re.M)
if m:
    row("character error rate, text", m.group(1), m.group(2), "", "")

# batch: four shards at once against one converter with --jobs = cores
sh = text("shards")
head = re.search(r"^(\d+) pages in", sh, re.M)
m1 = re.search(r"^one converter\s+--jobs (\d+)\s+([\d.]+) s\s+([\d.]+) pages/s\s+([\d.]+)", sh, re.M)
m4 = re.search(r"^(\d+) shards at once\s+--jobs (\d+)\s+([\d.]+) s", sh, re.M)
if head and m1 and m4:
    one, split = float(m1.group(2)), float(m4.group(3))
    row(f"{head.group(1)} pages, {m4.group(1)} shards at once", f"{split:.2f} s",
        f"one converter -j {m1.group(1)} {one:.2f} s", f"{split / one:.2f}", "<= 1.1")
    row("pages per second per core, one converter", m1.group(4), "", "", "")

# finding a word: page text in the background against the command line on pages 1 to 30
pt = text("pagetext")
m = re.search(r"^first match, cold cache\s+page text\s+([\d.]+) s\s+tesseract cli pages 1-(\d+)\s+([\d.]+) s", pt, re.M)
if m:
    ours, cli = float(m.group(1)), float(m.group(3))
    row(f"first match on page {m.group(2)} of 40, cold cache", f"{ours:.2f} s",
        f"tesseract pages 1-{m.group(2)} {cli:.2f} s", ratio(ours, cli), "<= 0.6")
o = num(r"^search 1000 pages\s+([\d.]+) ms", pt)
row("search a word in 1000 recognised pages", ms(o), "", "", "< 100 ms")

print()
print(f"Machine: {cpu}, {cores} cores, {mem}; preset {preset}; "
      f"load average {load_before} before, {load_after} after")
print()
print("| measure | ours | reference | ratio | target |")
print("|---|---|---|---|---|")
for r in rows:
    print("| " + " | ".join(r) + " |")
EOF
