#pragma once
// One planned rename of a bulk rename: the item under its current name, and its final name
// (lossless text, see FileNames).

#include "filepath.h"

#include <QString>

struct RenamePair
{
    FilePath url;
    QString newName;
    friend bool operator==(const RenamePair &, const RenamePair &) = default;
};
