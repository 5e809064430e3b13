#pragma once

#include "fileitem.h"
#include "filepath.h"

#include <QList>

// The paths of `items`, in their order: what the file operations and the clipboard take.
inline QList<FilePath> urlsOf(const QList<FileItem> &items)
{
    QList<FilePath> urls;
    urls.reserve(items.size());
    for (const FileItem &item : items)
        urls.append(item.url);
    return urls;
}
