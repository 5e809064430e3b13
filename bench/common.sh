# Shared by the benchmark scripts (sourced, POSIX sh). Run them from the repository root.

# Builds the benchmark programs into build/ (configuring it first if needed).
bench_build() {
    scripts/install-deps.sh bench
    [ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target benchmarks >/dev/null
}

# Makes a scratch folder in $1 (default /tmp), removed when the script ends; sets $work.
bench_workdir() {
    work=$(mktemp -d "${1:-/tmp}/tallowmere-bench-XXXXXX")
    trap 'rm -rf "$work"' EXIT INT TERM
}

# Times the commands given (in $work, $runs runs each, warm) and prints, for each in turn, its
# median wall time and its CPU time (user + system), in milliseconds, on one line.
bench_tools() {
    hyperfine -N --style none --warmup 2 --runs "$runs" --export-json "$work/h.json" "$@" >/dev/null 2>&1
    jq -r '[.results[] | (.median * 1000), ((.user + .system) * 1000)] | map(tostring) | join(" ")' "$work/h.json"
}

# Stops the benchmark when ours saw $1 entries where $2 were expected.
bench_expect() {
    if [ "$1" != "$2" ]; then
        echo "ours saw $1 entries, expected $2" >&2
        exit 1
    fi
}

# Reads rows of numbers from file $1 and runs the awk END program $2, in which med(c) is the
# median of column c over all rows.
bench_medians() {
    awk '
function med(col,   n, i, j, t, v) {
    n = 0
    for (i = 1; i <= NR; i++) v[++n] = s[i, col]
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return v[int((n + 1) / 2)]
}
{ for (c = 1; c <= NF; c++) s[NR, c] = $c }
END {'"$2"'}' "$1"
}
