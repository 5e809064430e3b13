#pragma once
// One entry of a folder, as lists, columns, selections and the finder see it.

#include "filepath.h"

#include <QDateTime>
#include <QHash>
#include <QMetaType>
#include <QString>

struct FileItem
{
    FilePath url;               // where the listing found it, links not resolved
    QString name;               // display name (FilePath::displayName)
    qint64 size = 0;            // logical size of the entry itself; 0 for folders
    QDateTime modificationDate = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    bool isDirectory = false;   // also true for a link whose target is a folder
    bool isSymbolicLink = false;

    FileItem() = default;
    FileItem(FilePath url, QString name, bool isDirectory, qint64 size, QDateTime modificationDate,
             bool isSymbolicLink)
        : url(std::move(url)), name(std::move(name)), size(size), modificationDate(std::move(modificationDate)),
          isDirectory(isDirectory), isSymbolicLink(isSymbolicLink) {}

    const FilePath &id() const { return url; }
    int directorySortRank() const { return isDirectory ? 0 : 1; }

    friend bool operator==(const FileItem &, const FileItem &) = default;
};

inline size_t qHash(const FileItem &item, size_t seed = 0)
{
    return qHashMulti(seed, item.url, item.name, item.isDirectory, item.size,
                      item.modificationDate.toMSecsSinceEpoch(), item.isSymbolicLink);
}

Q_DECLARE_METATYPE(FileItem)
