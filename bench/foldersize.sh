#!/bin/sh
# Times the folder size walk against `du -s --apparent-size` on the same tree (built once: 100
# folders of 1000 files, some of them hard links), and prints the ratio. Needs hyperfine.
# Usage (from the repository root): bench/foldersize.sh
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
bench_build
build=build
bench_workdir
tree="$work/tree"
mkdir -p "$tree"
for d in $(seq 1 100); do
    mkdir "$tree/d$d"
    (cd "$tree/d$d" && seq 1 1000 | sed 's/^/f/' | xargs touch && head -c 4096 /dev/urandom > f1 \
        && ln f1 hard1 && ln f1 hard2)
done
echo "ours: $("$build/bench/foldersize" "$tree") bytes, du: $(du -sb --apparent-size "$tree" | cut -f1) bytes (du counts folders too)"
hyperfine --warmup 2 --export-json "$work/h.json" -N \
    "$build/bench/foldersize $tree" "du -s --apparent-size $tree" >/dev/null
python3 - "$work/h.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
ours, du = r[0]["mean"], r[1]["mean"]
print(f"folder size walk: {ours*1000:.1f} ms, du: {du*1000:.1f} ms, ratio ours/du = {ours/du:.2f}")
PY
