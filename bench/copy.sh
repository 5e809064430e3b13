#!/bin/sh
# Times FileSystemService::copy (bench/copy.cpp) against `cp -a` on the same data: one 1 GB
# file and a tree of 10,000 small files, source and copy on the same file system, warm cache.
# Prints the mean times and the ratio ours / cp (below 1 means we are faster).
#   bench/copy.sh            (from the repository root; RUNS=n, BENCH_DIR=/some/disk for the data)
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
runs=${RUNS:-5}
bench_build
ours=build/bench/copy

# The data needs about 2.2 GB; /tmp unless it is small.
base=${BENCH_DIR:-/tmp}
if [ "$(df -Pk "$base" | awk 'NR==2 {print $4}')" -lt 4000000 ]; then base=/work; fi
bench_workdir "$base"
mkdir -p "$work/src" "$work/dst"

echo "data in $work ($(stat -f -c %T "$work"))"
head -c 1073741824 /dev/urandom >"$work/src/big.bin"
python3 - "$work/src/tree" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(1)
for d in range(100):
    folder = os.path.join(root, f"dir{d:03}", "sub")
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, f"file{f:03}.txt"), "wb") as out:
            out.write(rng.randbytes(rng.randint(100, 8000)))
PY
cat "$work/src/big.bin" >/dev/null
find "$work/src/tree" -type f -exec cat {} + >/dev/null

measure() { # name source
    json="$work/$1.json"
    hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$json" \
        --prepare "rm -rf '$work/dst' && mkdir '$work/dst' && sync" \
        -n ours "'$ours' '$2' '$work/dst'" \
        -n "cp -a" "cp -a '$2' '$work/dst/'" >/dev/null
    python3 - "$json" "$1" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ours, cp = results["ours"], results["cp -a"]
print(f"{sys.argv[2]:<22} ours {ours['mean']:.3f} s ± {ours['stddev']:.3f}   "
      f"cp -a {cp['mean']:.3f} s ± {cp['stddev']:.3f}   ratio {ours['mean'] / cp['mean']:.2f}")
PY
}

measure "1 GB file" "$work/src/big.bin"
measure "10,000 small files" "$work/src/tree"
