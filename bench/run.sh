#!/usr/bin/env bash
# One run of every benchmark: makes reproducible data under a temporary folder, times each of our
# operations beside the standard tool that does the same work on the same data, in rounds that
# alternate the two so that load from other programs falls on both alike, and prints one table
# of medians and ratios (ours / theirs; below 1 means ours is faster), also written to
# bench/results.md with the date, the machine and its load.
#   bench/run.sh BUILD_DIR        (`make bench` builds BUILD_DIR in Release, then runs this)
# ROUNDS (default 3) sets the rounds of each figure;
# BENCH_DIR is where the data goes (default /tmp; it needs about 2.5 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:?usage: bench/run.sh BUILD_DIR}/bench
rounds=${ROUNDS:-3}
queries=(m cf srv rdme)  # one to four typed characters
finder_query=src5cpp

work=$(mktemp -d "${BENCH_DIR:-/tmp}/tallowmere-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
samples=$work/samples # one "figure ours|theirs|value milliseconds-or-MB" line per measurement
: >"$samples"
started=$(date +%s)
load_before=$(uptime)

note() { printf '%s  %s\n' "$(date +%T)" "$*" >&2; }
record() { echo "$1 $2 $3" >>"$samples"; }
# Runs hyperfine with the options and commands given; prints each command's median wall ms.
hf() {
    hyperfine --style none --export-json "$work/h.json" "$@" >/dev/null 2>&1
    jq -r '.results[] | .median * 1000' "$work/h.json"
}
# The value after `key` in the output of one of our programs.
field() { awk -v key="$1" '$1 == key { print $2 }'; }
expect() { # what ours counted, what it should have
    [[ "$1" == "$2" ]] || { echo "ours saw $1 entries, expected $2" >&2; exit 1; }
}

make_size_tree() { # 100 folders of 1,000 files, a few bytes in some, two hard links in each
    local d
    for d in $(seq 1 100); do
        mkdir -p "$1/d$d"
        (cd "$1/d$d" && seq 1 1000 | sed 's/^/f/' | xargs touch && head -c 4096 /dev/urandom >f1 \
            && ln f1 hard1 && ln f1 hard2)
    done
}

make_small_files() { # 100 folders of 100 files of 100 to 8,000 bytes
    python3 - "$1" <<'PY'
import os, random, sys
rng = random.Random(1)
for d in range(100):
    folder = os.path.join(sys.argv[1], f"dir{d:03}", "sub")
    os.makedirs(folder)
    for f in range(100):
        with open(os.path.join(folder, f"file{f:03}.txt"), "wb") as out:
            out.write(rng.randbytes(rng.randint(100, 8000)))
PY
}

note "making the data in $work"
"$bin/listing" make "$work/list100k" 100000
"$bin/listing" make "$work/list100k-b" 100000
"$bin/listing" make "$work/list1m" 1000000
"$bin/walk" make "$work/tree20k"
"$bin/fuzzy" --generate 20000 >"$work/paths20k"
"$bin/fuzzy" --generate 1000000 >"$work/paths1m"
make_size_tree "$work/tree100k"
mkdir -p "$work/copy/src" "$work/copy/dst"
head -c 1073741824 /dev/urandom >"$work/copy/src/big.bin"
make_small_files "$work/copy/src/small"
tree_entries=$(find "$work/tree20k" -mindepth 1 | wc -l)

listing() { # figure, folder, entries, runs per round
    for _ in $(seq "$rounds"); do
        set -- "$1" "$2" "$3" "$4" $("$bin/listing" time "$2" "$4")
        expect "$5" "$3"
        record "$1" ours "$6"
        record "$1" theirs "$(hf -N --runs "$4" "ls -l -v $2")"
    done
}
note "listing 100,000 entries"
listing list100k "$work/list100k" 100000 3
note "listing 1,000,000 entries"
listing list1m "$work/list1m" 1000000 1

note "opening 100,000 entries in the window"
for _ in $(seq "$rounds"); do
    out=$("$bin/filelist" "$work/list100k" "$work/list100k-b")
    expect "$(field entries <<<"$out")" 100000
    record window_first ours "$(field first_screen_ms <<<"$out")"
    record window_sorted ours "$(field sorted_ms <<<"$out")"
    record rss_two_100k value "$(field rss_mb <<<"$out")"
    record window_sorted theirs "$(hf -N --runs 3 "ls -l -v $work/list100k")"
done
out=$("$bin/filelist" "$work/list1m")
expect "$(field entries <<<"$out")" 1000000
record rss_one_1m value "$(field rss_mb <<<"$out")"

note "walking 20,000 entries"
for _ in $(seq "$rounds"); do
    set -- $("$bin/walk" time "$work/tree20k" 5)
    expect "$1" "$tree_entries"
    record walk ours "$2"
    record walk theirs "$(hf -N --warmup 1 --runs 5 "find $work/tree20k -mindepth 1")"
done

note "opening the finder on 20,000 entries"
for _ in $(seq "$rounds"); do
    set -- $("$bin/finder" "$work/tree20k" "$finder_query" 3)
    record finder ours "$2"
    record finder theirs "$(hf -S bash --warmup 1 --runs 3 "fdfind -HI . $work/tree20k | fzf --filter $finder_query")"
done

rank() { # figure, path list, runs of ours per round, runs of fzf per round
    local out q
    for _ in $(seq "$rounds"); do
        out=$("$bin/fuzzy" --paths "$2" --runs "$3" "${queries[@]}")
        for q in "${queries[@]}"; do
            record "$1-$q" ours "$(awk -v q="$q" '$1 == "query" && $2 == q { print $4 }' <<<"$out")"
            record "$1-$q" theirs "$(hf -S bash --runs "$4" "fzf --filter $q <$2")"
        done
    done
}
note "ranking 20,000 paths"
rank rank20k "$work/paths20k" 51 3
note "ranking 1,000,000 paths"
rank rank1m "$work/paths1m" 9 1

note "adding up a 100,000-file tree"
for _ in $(seq "$rounds"); do
    set -- $(hf -N --warmup 1 --runs 3 "$bin/foldersize $work/tree100k" "du -sb $work/tree100k")
    record size ours "$1"
    record size theirs "$2"
done

copy() { # figure, source
    # The source is read into the page cache before each copy, so that neither side pays for
    # reading it from the disk after the other has brought it in.
    local figure=$1 source=$2
    local prepare="rm -rf $work/copy/dst && mkdir $work/copy/dst && sync && find $source -type f -exec cat {} + >/dev/null"
    for _ in $(seq "$rounds"); do
        set -- $(hf --runs 1 --prepare "$prepare" "$bin/copy $source $work/copy/dst" "cp -a $source $work/copy/dst/")
        record "$figure" ours "$1"
        record "$figure" theirs "$2"
    done
}
note "copying"
copy copy1g "$work/copy/src/big.bin"
copy copy10k "$work/copy/src/small"
rm -rf "$work/copy"

note "starting the program"
startups() { # runs the start-up program in a fresh home, prints the times
    local home i
    for i in $(seq "$rounds"); do
        home=$(mktemp -d "$work/home-XXXXXX")
        HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share "$bin/startup" \
            | sed -n 's/.*listed and painted \([0-9.]*\) ms.*/\1/p'
        rm -rf "$home"
    done
}
for t in $(QT_QPA_PLATFORM=offscreen startups); do record startup_offscreen value "$t"; done
# xvfb-run is a POSIX shell script, which drops exported functions: the function goes as text.
export bin work rounds
for t in $(xvfb-run -a -s '-screen 0 1600x1000x24' bash -c "$(declare -f startups); startups"); do
    record startup_xvfb value "$t"
done

load_after=$(uptime)
machine="$(uname -srm); $(nproc) × $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1); \
$(free -g | awk '/^Mem:/ { print $2 }') GB memory; data on $(stat -f -c %T "$work")"
python3 bench/table.py "$samples" "$machine" "$load_before" "$load_after" "$(( $(date +%s) - started ))" \
    "$rounds" "$finder_query" "${queries[@]}" | tee bench/results.md
