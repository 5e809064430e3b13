#include "dragselection.h"

QList<FileItem> DragSelection::resolve(const FileItem &dragged, const QSet<FilePath> &selection,
                                       const QList<FileItem> &items)
{
    if (!selection.contains(dragged.url))
        return {dragged};
    QList<FileItem> carried;
    for (const FileItem &item : items)
        if (selection.contains(item.url))
            carried.append(item);
    return carried;
}
