#include "filesystemservice.h"

#include "directorylister.h"

// Each group of operations lives in a class of its own; this facade forwards to them.

// --- listing ---

QList<FileItem> FileSystemService::listDirectory(const QUrl &url, bool showHidden) const
{
    return DirectoryLister::list(url, showHidden);
}

// --- creating, renaming, copying, moving ---


// --- trash ---


// --- bulk rename ---


// --- archives ---


// --- info ---


// --- recursive walk ---


// --- hand-off to other programs ---

