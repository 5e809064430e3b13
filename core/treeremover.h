#pragma once
// Deletes whole trees, never following links. Two kinds of tree call for two manners:
// - an item of the user's (the original after a move across file systems) is deleted as its
//   modes allow, and the first failure stops the deletion and is reported;
// - a tree the program made itself (a failed copy, a staging folder) is discarded as far as
//   possible: folders are opened up first, since a mode copied onto one or taken from an
//   archive may forbid removing what lies inside, and failures are passed over.

#include "fileerror.h"

#include <QString>

class TreeRemover
{
public:
    // Deletes `path` and everything in it. Throws FileError naming the entry that failed.
    static void removeItem(const QString &path, FileError::Operation operation);

    // Discards `name` in the folder `parentFd` (or AT_FDCWD) and everything in it; best effort.
    static void discard(int parentFd, const char *name);
};
