#!/bin/sh
# Installs the build into a temporary prefix and checks what a desktop reads from it: the program,
# a valid desktop entry that starts it, the icon it names in both theme sizes, and valid AppStream
# data that points at that desktop entry.
#   desktopfiles.sh <build folder>
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
entry=$prefix/share/applications/tallowmere.desktop
metainfo=$prefix/share/metainfo/org.tallowmere.Tallowmere.metainfo.xml
svg=$prefix/share/icons/hicolor/scalable/apps/tallowmere.svg
png=$prefix/share/icons/hicolor/256x256/apps/tallowmere.png
for f in "$entry" "$metainfo" "$svg" "$png"; do [ -s "$f" ] || fail "not installed: $f"; done
[ -x "$prefix/bin/tallowmere" ] || fail "no program in bin/"

# Hints count too: one in two main categories is listed twice in some menus.
hints=$(desktop-file-validate "$entry") || fail "desktop entry invalid"
[ -z "$hints" ] || fail "desktop entry: $hints"
appstreamcli validate --no-net "$metainfo" || fail "AppStream data invalid"

# The entry must start the installed program with the locations it is handed, and name the icon.
value() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$entry"; }
[ "$(value Exec)" = "tallowmere %U" ] || fail "Exec is '$(value Exec)'"
[ "$(value Icon)" = "tallowmere" ] || fail "Icon is '$(value Icon)'"
value MimeType | grep -q 'inode/directory;' || fail "not a handler of folders"
grep -q '^\[Desktop Action new-window\]' "$entry" || fail "no new-window action"
grep -q '<launchable type="desktop-id">tallowmere.desktop</launchable>' "$metainfo" || fail "AppStream data names another desktop entry"

# PNG header: the width and height are the big-endian words at bytes 16 and 20.
set -- $(od -An -tu1 -j16 -N8 "$png")
[ "$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 ))x$(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))" = 256x256 ] \
  || fail "the PNG icon is not 256 x 256"
echo "install tree valid"
