#pragma once
// Writes ZIP archives in process. Entries are named relative to the folder of the first item,
// folders are stored with their contents, links as links, with modes and modification times.
// The archive is written under a hidden name beside its place and renamed into place only when
// complete, never over an existing item.

#include "copycontrol.h"
#include "filepath.h"

#include <QList>

class ZipArchiver
{
public:
    // Nothing happens for an empty list. Throws FileError WriteUnknown (with a detail) when the
    // archive could not be written completely, or ECANCELED once the control's check answers
    // false (asked between entries and inside large files); no partial archive is left behind
    // then. Progress counts the bytes of the files read into the archive.
    static void compress(const QList<FilePath> &items, const FilePath &archive, const CopyControl &control = {});
};
