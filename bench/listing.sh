#!/bin/sh
# Times listing a folder of 100,000 files through FileSystemService::listDirectory (read, stat,
# sort for display) beside `ls -U` (no sorting), `ls` (sorted with the locale's collation) and
# `ls -l` (sorted, every entry stat'ed), warm cache. Rounds alternate ours and theirs so load
# from other programs falls on both alike; medians over all rounds are compared at the end.
# Usage (from the repository root): bench/listing.sh [rounds] [runs-per-round] [files]
set -eu
rounds=${1:-5}
runs=${2:-3}
files=${3:-100000}
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target benchmarks >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/folder"
build/bench/listing make "$folder" "$files"
ls -U "$folder" >/dev/null # warm the cache
echo "folder: $files files; LC_ALL=${LC_ALL:-} LC_COLLATE=${LC_COLLATE:-} LANG=${LANG:-} (ls collates with $(locale 2>/dev/null | sed -n 's/^LC_COLLATE=//p'))"

printf '%-6s %10s %10s %10s %10s %10s\n' round 'ours ms' 'sort ms' 'ls -U ms' 'ls ms' 'ls -l ms'
samples="$work/samples"
: >"$samples"
i=1
while [ "$i" -le "$rounds" ]; do
    set -- $(build/bench/listing time "$folder" "$runs")
    if [ "$1" != "$files" ]; then
        echo "listed $1 entries, expected $files" >&2
        exit 1
    fi
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/h.json" \
        "ls -U $folder" "ls $folder" "ls -l $folder" >/dev/null 2>&1
    set -- "$2" "$3" $(jq -r '[.results[].median * 1000] | map(tostring) | join(" ")' "$work/h.json")
    printf '%-6s %10.1f %10.1f %10.1f %10.1f %10.1f\n' "$i" "$@"
    echo "$@" >>"$samples"
    i=$((i + 1))
done
awk '
function med(col,   n, i, j, t, v) {
    n = 0
    for (i = 1; i <= NR; i++) v[++n] = s[i, col]
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return v[int((n + 1) / 2)]
}
{ for (c = 1; c <= NF; c++) s[NR, c] = $c }
END {
    ours = med(1); sorting = med(2); lsu = med(3); ls = med(4); lsl = med(5)
    printf "median: ours %.1f ms (sort %.1f ms), ls -U %.1f ms, ls %.1f ms, ls -l %.1f ms\n", ours, sorting, lsu, ls, lsl
    printf "ratios: ours/ls-U %.2f, ours/ls %.2f, ours/ls-l %.2f\n", ours / lsu, ours / ls, ours / lsl
}' "$samples"
echo "(ours timed inside its process; ls as a whole process, start-up included)"
