#!/bin/sh
# Times the finder's deep walk beside `find DIR -mindepth 1` on the same reproducible tree of
# 20,000 entries, with a warm cache. Runs in rounds that alternate the two, so load from other
# programs falls on both alike; prints each round, then the medians over all rounds.
# Usage (from the repository root): bench/walk.sh [rounds] [runs-per-round]
set -eu
rounds=${1:-15}
runs=${2:-5}
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target benchmarks >/dev/null
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
build/bench/walk make "$tree"
expected=$(find "$tree" -mindepth 1 | wc -l)
find "$tree" -mindepth 1 >/dev/null # warm the cache

echo "tree: $expected entries"
printf '%-6s %12s %12s %7s\n' round 'walk ms' 'find ms' ratio
all_ours=""
all_theirs=""
i=1
while [ "$i" -le "$rounds" ]; do
    set -- $(build/bench/walk time "$tree" "$runs")
    if [ "$1" != "$expected" ]; then
        echo "walk found $1 entries, find $expected" >&2
        exit 1
    fi
    ours=$2
    hyperfine -N --style none --warmup 2 --runs "$runs" --export-json "$tree.json" \
        "find $tree -mindepth 1" >/dev/null 2>&1
    theirs=$(jq '.results[0].median * 1000' "$tree.json")
    rm -f "$tree.json"
    ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.2f", a / b }')
    printf '%-6s %12.2f %12.2f %7s\n' "$i" "$ours" "$theirs" "$ratio"
    all_ours="$all_ours $ours"
    all_theirs="$all_theirs $theirs"
    i=$((i + 1))
done
median() { echo "$@" | tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours=$(median $all_ours)
theirs=$(median $all_theirs)
awk -v a="$ours" -v b="$theirs" \
    'BEGIN { printf "median: walk %.2f ms, find %.2f ms, ratio %.2f\n", a, b, a / b }'
echo "(the walk is timed inside its process; find as a whole process, start-up included)"
