#!/bin/sh
# Qt's file classes turn a path into bytes with a codec that writes U+FFFD for every byte that
# isn't UTF-8, so a name like "caf\xe9.txt" would name some other file or none. The program's
# code reaches a user's items through FilePath and system calls only. A use on a path that is
# the program's own (a Qt setting, an icon theme, a file under /proc) ends its line with
# "// not a user's path", one on a descriptor opened from a FilePath with "// by descriptor: ...";
# QDir::homePath() only reads $HOME.
#   nolossypaths.sh SOURCE_ROOT
root=${1:?usage: nolossypaths.sh SOURCE_ROOT}
found=$(grep -rnE '\bQ(File|FileInfo|Dir|StorageInfo|SaveFile|DirIterator|TemporaryFile|LockFile)\b' \
            "$root/app" "$root/core" --include='*.cpp' --include='*.h' \
        | grep -vE ':[0-9]+:\s*(#include|//)' \
        | grep -v "// not a user's path\$" \
        | grep -v "// by descriptor: " \
        | grep -vE 'QDir::homePath\(\)' )
if [ -n "$found" ]; then
    echo "Qt file classes on what may be a user's path (use FilePath and system calls):"
    echo "$found"
    exit 1
fi
