#pragma once
// Lists of FileItems in tests: made from names, and read back as names in order, one item by
// name, or paths below a folder.

#include "fileitem.h"

#include <QDir>
#include <QStringList>

// Plain files named `names` in `folder`, as a listing would hold them; nothing is on disk.
inline QList<FileItem> itemsNamed(const QStringList &names, const QString &folder = QStringLiteral("/d"))
{
    QList<FileItem> items;
    for (const QString &name : names)
        items << FileItem(FilePath::fromString(folder + QLatin1Char('/') + name), name, false, 0, {}, false);
    return items;
}

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
