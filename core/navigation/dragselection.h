#pragma once
// Which items a drag carries: the selection when the drag starts on a selected item, otherwise
// only the item under the pointer.

#include "fileitem.h"

#include <QList>
#include <QSet>
#include "filepath.h"

class DragSelection
{
public:
    // The carried items keep the order of `items` (the display order), not the order of
    // selecting; selected URLs that are no longer listed are not carried.
    [[nodiscard]] static QList<FileItem> resolve(const FileItem &dragged, const QSet<FilePath> &selection,
                                                 const QList<FileItem> &items);
};
