#!/bin/sh
# Times the finder's deep walk beside `find DIR -mindepth 1` on the same reproducible tree of
# 20,000 entries, with a warm cache. Runs in rounds that alternate the two, so load from other
# programs falls on both alike; prints each round, then the medians over all rounds. Wall time
# and CPU time (user + system) are both shown: on a busy machine wall time mostly measures the
# wait for a processor, and CPU time is the steadier comparison.
# Usage: bench/walk.sh [rounds] [runs-per-round]
set -eu
cd "$(dirname "$0")/.."
rounds=${1:-15}
runs=${2:-5}
. bench/common.sh
bench_build
bench_workdir
tree="$work/tree"
mkdir "$tree"
build/bench/walk make "$tree"
expected=$(find "$tree" -mindepth 1 | wc -l)
find "$tree" -mindepth 1 >/dev/null # warm the cache

echo "tree: $expected entries"
printf '%-6s %12s %12s %12s %12s\n' round 'walk ms' 'find ms' 'walk cpu ms' 'find cpu ms'
samples="$work/samples"
: >"$samples"
i=1
while [ "$i" -le "$rounds" ]; do
    set -- $(build/bench/walk time "$tree" "$runs")
    bench_expect "$1" "$expected"
    set -- "$2" $(bench_tools "find $tree -mindepth 1") "$3"
    printf '%-6s %12.2f %12.2f %12.2f %12.2f\n' "$i" "$1" "$2" "$4" "$3"
    echo "$1 $2 $4 $3" >>"$samples"
    i=$((i + 1))
done
bench_medians "$samples" '
    w = med(1); f = med(2); wc = med(3); fc = med(4)
    printf "median wall: walk %.2f ms, find %.2f ms, ratio %.2f\n", w, f, w / f
    printf "median cpu:  walk %.2f ms, find %.2f ms, ratio %.2f\n", wc, fc, wc / fc
'
echo "(the walk is timed inside its process; find as a whole process, start-up included)"
