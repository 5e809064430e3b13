#!/usr/bin/env bash
# Drives the real program on its own X server with real key presses: select a file in the left
# pane, copy it to the right pane (F5), rename it (F2), move it to the Trash (Delete) and undo
# (Ctrl+Z). After every step the files on disk are checked; a step that does not happen fails.
#   filecommands.sh /path/to/tallowmere
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -uo pipefail

program=${1:?usage: $0 /path/to/tallowmere}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh build)"; exit 77; }
done

work=$(mktemp -d /tmp/tallowmere-e2e-XXXXXX)
xvfb_pid=
program_pid=
cleanup() {
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- files under home:"; (cd "$work/home" && find . -path ./.cache -prune -o -print | sort)
  echo "--- program output:"; cat "$work/program.log"
  exit 1
}

# A home of real files, with the settings the run relies on: no confirmation before the Trash.
home=$work/home
mkdir -p "$home/Documents" "$home/.config/Tallowmere" "$home/.local/share" "$home/.cache"
printf 'first file\n' > "$home/alpha.txt"
printf 'unrelated\n' > "$home/Documents/keep.txt"
printf '[General]\nconfirmBeforeTrash=false\nlanguage=en\n' > "$home/.config/Tallowmere/Tallowmere.conf"

# Our own X server; -displayfd picks a free display number.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=:$(head -n1 "$work/display")

env -u QT_QPA_PLATFORM -u SESSION_MANAGER QT_QPA_PLATFORM=xcb HOME="$home" \
  XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
  XDG_RUNTIME_DIR="$work" LC_ALL=C.UTF-8 "$program" >"$work/program.log" 2>&1 &
program_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tallowmere' | head -n1)
[[ -n $window ]] || fail "the window did not appear"
# Without a window manager the pointer decides nothing; give the window the keyboard directly.
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"

# Waits until a shell test holds, for up to ten seconds.
await() {
  for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# Real key events through the XTEST extension go to the window that has the keyboard (the main
# window, or a dialog it opened), as a user's keys would.
key() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 60 "$1"; }

# Both panes list their folders once the window is up; give the listings a moment.
sleep 1

# A click on the left pane's list gives it the keyboard; then typing a letter selects alpha.txt.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH / 3)) $((HEIGHT / 2)) click 1
sleep 0.3
type_text a
key F5
await '[[ -f $home/Documents/alpha.txt ]]' || fail "F5 did not copy alpha.txt to the right pane"
cmp -s "$home/alpha.txt" "$home/Documents/alpha.txt" || fail "the copy differs from its original"
echo "ok: F5 copied alpha.txt to Documents"

# Rename the selected file: the field opens with the whole name; replace it.
key F2
sleep 0.5
key ctrl+a
type_text beta.txt
key Return
await '[[ -f $home/beta.txt && ! -e $home/alpha.txt ]]' || fail "F2 did not rename alpha.txt to beta.txt"
echo "ok: F2 renamed alpha.txt to beta.txt"

# Trash it (the settings ask for no confirmation) and undo.
sleep 0.5
type_text b
key Delete
await '[[ ! -e $home/beta.txt && -f $home/.local/share/Trash/files/beta.txt ]]' \
  || fail "Delete did not move beta.txt to the Trash"
echo "ok: Delete moved beta.txt to the Trash"

# The undo step is recorded when the trash job's result reaches the window, just after the move.
# The window's own shortcuts need it to be the active window again after the rename dialog;
# without a window manager only an explicit focus makes it so.
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
key ctrl+z
await '[[ -f $home/beta.txt && ! -e $home/.local/share/Trash/files/beta.txt ]]' \
  || fail "Ctrl+Z did not bring beta.txt back"
grep -q 'first file' "$home/beta.txt" || fail "the restored file lost its contents"
[[ -f $home/Documents/keep.txt && -f $home/Documents/alpha.txt ]] || fail "the right pane's files changed"
echo "ok: Ctrl+Z restored beta.txt"
echo "PASS"
