#pragma once
// Read-only questions about items for the information dialog and the status bar: one item's
// facts, the total size of a folder's files, and the free space of a volume.

#include "fileinfo.h"

#include "filepath.h"

#include <functional>
#include <optional>

class ItemInspector
{
public:
    // Facts about the item itself: a symbolic link is described as the link (its own size,
    // mode and dates), as the listing's link badge and the folder size walk treat it.
    // Throws FileError when the item can't be examined (for example when it no longer exists).
    static FileInfo info(const FilePath &url);

    // Logical bytes of the regular files under a folder. Hidden entries are skipped and hidden
    // folders not entered, links are not followed, a file with several hard links under the
    // folder counts once, and unreadable parts count nothing. `shouldContinue` is asked before
    // every entry; once it answers false the walk stops and returns what it has counted so far.
    // Never throws.
    static qint64 directorySize(const FilePath &url, const std::function<bool()> &shouldContinue = {});

    // Bytes an unprivileged user may still write on the volume holding `url`; absent when that
    // can't be told (the path can't be examined, or the file system keeps no block counts).
    static std::optional<qint64> volumeAvailableCapacity(const FilePath &url);
};
