#pragma once
// One folder's direct entries as the lister reads them: folders first, then the rest, each group
// in file-browser name order, with each entry's name rank (NameCollator::Order), which lets a
// large folder be re-sorted without collating its names again.

#include "fileitem.h"

#include <QList>

#include <vector>

struct DirectoryListing
{
    QList<FileItem> items;
    std::vector<quint32> nameRanks; // one per entry of `items`, in the same order
};
