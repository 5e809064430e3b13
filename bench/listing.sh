#!/bin/sh
# Times listing a folder of 100,000 files through FileSystemService::listDirectory (read, stat,
# sort for display) beside `ls -U` (no sorting, no stat), `ls` (sorted with the locale's
# collation) and `ls -l` (sorted, every entry stat'ed), warm cache. Rounds alternate ours and
# theirs so load from other programs falls on both alike; medians over all rounds are compared
# at the end, as wall time and as CPU time (user + system), the steadier one on a busy machine.
# Usage (from the repository root): bench/listing.sh [rounds] [runs-per-round] [files]
set -eu
cd "$(dirname "$0")/.."
rounds=${1:-5}
runs=${2:-3}
files=${3:-100000}
. bench/common.sh
bench_build
bench_workdir
folder="$work/folder"
build/bench/listing make "$folder" "$files"
ls -U "$folder" >/dev/null # warm the cache
echo "folder: $files files; ls collates with LC_COLLATE=$(locale 2>/dev/null | sed -n 's/^LC_COLLATE=//p')"

printf '%-6s %9s %9s %9s %9s %9s\n' round 'ours ms' 'sort ms' 'ls -U ms' 'ls ms' 'ls -l ms'
samples="$work/samples"
: >"$samples"
i=1
while [ "$i" -le "$rounds" ]; do
    set -- $(build/bench/listing time "$folder" "$runs")
    bench_expect "$1" "$files"
    # ours wall, ours cpu, sort, then wall and cpu of each ls
    set -- "$2" "$3" "$4" $(bench_tools "ls -U $folder" "ls $folder" "ls -l $folder")
    printf '%-6s %9.1f %9.1f %9.1f %9.1f %9.1f\n' "$i" "$1" "$3" "$4" "$6" "$8"
    echo "$@" >>"$samples"
    i=$((i + 1))
done
bench_medians "$samples" '
    printf "median wall: ours %.1f ms (sort %.1f ms), ls -U %.1f ms, ls %.1f ms, ls -l %.1f ms\n", med(1), med(3), med(4), med(6), med(8)
    printf "  ratios: ours/ls-U %.2f, ours/ls %.2f, ours/ls-l %.2f\n", med(1) / med(4), med(1) / med(6), med(1) / med(8)
    printf "median cpu:  ours %.1f ms, ls -U %.1f ms, ls %.1f ms, ls -l %.1f ms\n", med(2), med(5), med(7), med(9)
    printf "  ratios: ours/ls-U %.2f, ours/ls %.2f, ours/ls-l %.2f\n", med(2) / med(5), med(2) / med(7), med(2) / med(9)
'
echo "(ours timed inside its process; ls as a whole process, start-up included)"
