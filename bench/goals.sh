#!/usr/bin/env bash
# The speed goals of the tracer, measured as the issue asks: one pinned core, the
# benchmarks run in turn ROUNDS times (interleaved, so that a burst of load elsewhere hits
# them all alike), and the median of each printed with the load average.
#   bench/goals.sh [BUILD_DIR] [ROUNDS]      (default: build-test, 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
rounds=${2:-5}
core=$(($(nproc) - 1))
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run() { # name binary filter [cores]
    taskset -c "${4:-$core}" "$build/bench/$2" --benchmark_filter="$3" --benchmark_min_time=0.3 \
        --benchmark_format=csv 2>/dev/null | grep '^"' >>"$out/$1"
}
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 0; r < rounds; ++r)); do
    run spot analysis_bench 'BM_SpotPaintSchmidtCassegrainFourLinesOneThread'
    run optimizer merit_bench 'eightRowPass/1/'
    run optimizer2 merit_bench 'eightRowPass/2/' "0-$core"
    run stack merit_bench 'stackPass/1/'
    run stack2 merit_bench 'stackPass/2/' "0-$core"
    run doublet design_bench 'BM_Doublet/1/'
    run steps trace_bench 'Step$'
    run aberrations aberration_bench '.'
    run wavefront wavefront_bench 'NumbersSchmidtCassegrain|PolychromaticMtf|DialogPaint/0'
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
# Median real time (and candidates/s where there is a counter) of each benchmark.
cat "$out"/* | python3 -c '
import csv, sys, statistics, collections
rows = collections.defaultdict(list)
for r in csv.reader(sys.stdin):
    if r[0] == "name": continue
    rows[r[0]].append(r)
for name, rs in rows.items():
    t = statistics.median(float(r[2]) for r in rs)
    line = "%-58s %10.4g %s" % (name, t, rs[0][4])
    if len(rs[0]) > 10 and rs[0][-1]:
        line += "  %.4g/s" % statistics.median(float(r[-1]) for r in rs)
    print(line, " (%d runs)" % len(rs))
'
