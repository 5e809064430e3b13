#pragma once
// Reads one folder's direct entries into FileItems, in the order a file browser shows them.

#include "fileitem.h"
#include "filepath.h"

#include <QList>

class DirectoryLister
{
public:
    // Throws FileError when the folder can't be read; an entry whose metadata can't be read is
    // still listed, with defaults.
    static QList<FileItem> list(const FilePath &url, bool showHidden);

    // Folders first, then names in file-browser order; stable.
    static void sortForDisplay(QList<FileItem> &items);
};
