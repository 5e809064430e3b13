#pragma once
// Reads one folder's direct entries into FileItems, in the order a file browser shows them.
//
// The names come first: read in one go and sorted, and the first few entries offered to a caller
// who wants to show them before the rest of a large folder is ready. The sizes and dates are
// read meanwhile, by a second thread as well in a large folder.

#include "directorylisting.h"
#include "filepath.h"

#include <functional>

// Entries shown before the whole listing is ready: as soon as the names are in order, `show`
// is called on the listing thread with the first `size` entries in display order, each with
// its URL, name and kind but no size or modification date yet, and the number of entries
// the folder holds.
struct ListingFirstPage
{
    qsizetype size = 0;
    std::function<void(const DirectoryListing &entries, qsizetype folderEntries)> show;
};

class DirectoryLister
{
public:
    // Throws FileError when the folder can't be read; an entry whose metadata can't be read is
    // still listed, with defaults.
    static DirectoryListing list(const FilePath &url, bool showHidden, const ListingFirstPage &firstPage = {});
    // The path the item at `url` carries in its folder's listing; it differs from `url` when
    // the folder is a link, since a linked folder is read at its resolved place.
    static FilePath listedPath(const FilePath &url);
};
