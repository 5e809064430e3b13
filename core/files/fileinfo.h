#pragma once
// What the information dialog shows about one item.

#include <QDateTime>
#include <QString>
#include <optional>

struct FileInfo
{
    QString name;
    bool isDirectory = false;
    std::optional<qint64> byteSize;     // absent for folders
    std::optional<QDateTime> created;   // absent where the file system keeps no birth time
    std::optional<QDateTime> modified;
    std::optional<int> posixPermissions; // mode bits, e.g. 0644; absent when unreadable

    friend bool operator==(const FileInfo &, const FileInfo &) = default;
};
