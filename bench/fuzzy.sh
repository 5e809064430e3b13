#!/usr/bin/env bash
# Fuzzy ranking against `fzf --filter` on the same reproducible path lists (20,000 and
# 1,000,000 relative paths), in one run:
#   1. in-process: ranking an index prepared once, single thread, median of many runs — what
#      the finder does on every keystroke (fzf has no such mode; its end-to-end time is the
#      reference);
#   2. end-to-end, under hyperfine: read the list, match, sort, print every match, for ours
#      (which also prepares every path) and for fzf (all cores, and GOMAXPROCS=1).
# Usage: bench/fuzzy.sh [QUERY...]
set -euo pipefail

cd "$(dirname "$0")/.."
. bench/common.sh
queries=("$@")
[[ ${#queries[@]} -gt 0 ]] || queries=(m cf srv rdme)
bench_build
bin=build/bench/fuzzy
bench_workdir
"$bin" --generate 20000 >"$work/paths-20k"
"$bin" --generate 1000000 >"$work/paths-1m"

echo "== in-process ranking, prepared index, one thread, best 100 =="
for list in 20k 1m; do
  runs=201; [[ $list == 1m ]] && runs=15
  echo "-- $list paths"
  "$bin" --paths "$work/paths-$list" --runs "$runs" "${queries[@]}" | tee "$work/inproc-$list.txt"
done

echo
echo "== end-to-end filter: read, rank, print all matches (hyperfine) =="
for list in 20k 1m; do
  runs=10; [[ $list == 1m ]] && runs=3
  for q in "${queries[@]}"; do
    hyperfine -S bash --warmup 1 --runs "$runs" --export-json "$work/e2e-$list-$q.json" \
      -n ours "$bin --filter '$q' --paths $work/paths-$list >/dev/null" \
      -n fzf "fzf --filter '$q' <$work/paths-$list >/dev/null" \
      -n fzf-1core "GOMAXPROCS=1 fzf --filter '$q' <$work/paths-$list >/dev/null" >/dev/null
  done
done

python3 - "$work" "${queries[@]}" <<'PY'
import json, re, sys
work, queries = sys.argv[1], sys.argv[2:]
sizes = {"20k": 20000, "1m": 1000000}

def inproc(lst):
    out = {}
    for line in open(f"{work}/inproc-{lst}.txt"):
        m = re.match(r"query (\S+)\s+median_ms\s+([\d.]+)", line)
        if m:
            out[m.group(1)] = float(m.group(2)) / 1000
    return out

print()
print("== ratios (time ours / time fzf; below 1 means ours is faster) ==")
print(f"{'list':5} {'query':6} {'ours e2e s':>10} {'fzf s':>8} {'fzf 1core s':>11} "
      f"{'e2e/fzf':>8} {'e2e/fzf1':>8} {'ranking s':>10} {'rank/fzf':>9} {'rank items/s':>13} {'fzf items/s':>12}")
for lst, n in sizes.items():
    ranked = inproc(lst)
    for q in queries:
        res = {r["command"]: r["median"] for r in json.load(open(f"{work}/e2e-{lst}-{q}.json"))["results"]}
        ours, fzf, fzf1, rank = res["ours"], res["fzf"], res["fzf-1core"], ranked[q]
        print(f"{lst:5} {q:6} {ours:10.3f} {fzf:8.3f} {fzf1:11.3f} {ours/fzf:8.2f} {ours/fzf1:8.2f} "
              f"{rank:10.4f} {rank/fzf:9.3f} {n/rank:13.0f} {n/fzf:12.0f}")
PY
