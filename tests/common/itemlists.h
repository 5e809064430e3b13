#pragma once
// Reading lists of FileItems in tests: names in order, one item by name, paths below a folder.

#include "fileitem.h"

#include <QDir>
#include <QStringList>

inline QStringList namesOf(const QList<FileItem> &items)
{
    QStringList names;
    for (const FileItem &item : items)
        names << item.name;
    return names;
}

inline const FileItem *itemNamed(const QList<FileItem> &items, const QString &name)
{
    for (const FileItem &item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

// Each item's path relative to `root`, in the items' order.
inline QStringList relativePathsOf(const QList<FileItem> &items, const QString &root)
{
    QStringList paths;
    for (const FileItem &item : items)
        paths << QDir(root).relativeFilePath(item.url.path());
    return paths;
}

inline QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}
