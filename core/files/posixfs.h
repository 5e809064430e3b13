#pragma once
// Small system-call wrappers the file operations share. Paths are local paths as QString.

#include "fileerror.h"
#include "uniquefd.h"

#include <QString>

struct stat;

class PosixFs
{
public:
    // True when anything, a dangling link included, occupies the path.
    static bool occupied(const QString &path);
    // Makes the folder `path` and any missing folders above it (mode 0777 less the umask);
    // true when it exists as a folder afterwards.
    static bool makePath(const QString &path);
    // True for a folder, following links.
    static bool isDirectory(const QString &path);
    // The folder holding `path`, opened for *at() calls; invalid (errno set) on failure.
    static UniqueFd openParentFolder(const QString &path);
    // Renames without ever replacing an item at `to`; returns 0 or the errno (EEXIST when `to` is
    // taken). Where the file system lacks a no-replace rename, a file is moved by link and unlink,
    // and a folder (or a file where there are no links either) by a plain rename once its new
    // name is seen free.
    static int renameNoReplaceAt(int fromDir, const char *from, int toDir, const char *to);
    // Renames without ever replacing an item at `to` (EEXIST instead). Throws FileError naming
    // `errorPath` (default: `from`).
    static void renameNoReplace(const QString &from, const QString &to, FileError::Operation operation,
                                const QString &errorPath = {});

private:
    static int renamePlainly(int fromDir, const char *from, int toDir, const char *to);
    static int relinkFile(int fromDir, const char *from, int toDir, const char *to, const struct stat &st);
};
