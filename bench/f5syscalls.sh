#!/usr/bin/env bash
# Counts the system calls the real program makes for one F5 copy of one file: the program runs
# on its own X server with the file selected in the left pane, strace attaches to all of its
# threads, F5 is pressed, and strace detaches one second after the copy is on disk. The idle
# event loop over that second is counted too (a few polls).
#   bench/f5syscalls.sh [path/to/tallowmere]     (from the repository root)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/tallowmere}
for tool in Xvfb xdotool strace; do
  command -v "$tool" >/dev/null || { echo "missing $tool: scripts/install-deps.sh bench" >&2; exit 1; }
done

work=$(mktemp -d /tmp/tallowmere-f5-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

home=$work/home
mkdir -p "$home/Documents" "$home/.config/Tallowmere" "$home/.local/share" "$home/.cache"
head -c 65536 /dev/urandom >"$home/report.bin"
printf '[General]\nlanguage=en\n' >"$home/.config/Tallowmere/Tallowmere.conf"

Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

# The file given on the command line is shown selected in the left pane; the right pane shows
# Documents.
env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work" \
  LC_ALL=C.UTF-8 "$program" "$home/report.bin" >/dev/null 2>&1 &
app=$!
pids+=("$app")
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tallowmere' | head -n1)
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 2 # listings, icons and the first paint settle

strace -c -f -p "$app" -o "$work/counts" &
tracer=$!
sleep 1
xdotool key F5
for _ in $(seq 100); do [[ -f $home/Documents/report.bin ]] && break; sleep 0.1; done
sleep 1
kill -INT "$tracer"
wait "$tracer" 2>/dev/null || true
cmp -s "$home/report.bin" "$home/Documents/report.bin" || { echo "the copy did not happen" >&2; exit 1; }
cat "$work/counts"
