#pragma once
// One segment of the path bar: the text shown and the folder it stands for.

#include <QString>
#include "filepath.h"

struct PathComponentItem
{
    QString name; // "/" for the root, else the path component as written
    FilePath url;

    const FilePath &id() const { return url; }

    friend bool operator==(const PathComponentItem &, const PathComponentItem &) = default;
};
