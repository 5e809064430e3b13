#pragma once
// Extracts ZIP archives in process, without ever writing outside the destination folder or over
// an existing item. The archive is unpacked into a hidden folder inside the destination; only
// when that succeeded are its top-level items moved beside the others, each under a free name
// (" copy" added when taken). The hidden folder is removed in every case.

#include "copycontrol.h"
#include "filepath.h"

#include <QString>
#include <QStringList>

#include <functional>

class ZipExtractor
{
public:
    // Throws FileError ReadCorruptFile (with a detail) when the file is not a readable ZIP
    // archive or holds an entry that would land or point outside the destination, and the
    // system's errno naming the destination when that can't take it: ENOSPC at once when the
    // sizes the archive declares exceed the free space. Nothing is left under a real name then.
    // Once the control's check answers false (asked between entries and their blocks of data)
    // it throws ECANCELED, with nothing unpacked left behind. Progress counts the bytes
    // unpacked of those the archive declares.
    static void extract(const FilePath &archive, const FilePath &destination, const CopyControl &control = {});

    // Moves each unpacked top-level item `names` out of `staging` with `move`, which returns
    // where the item went. When one can't be moved, those moved before it are taken back into
    // `staging` and the error is passed on, so nothing is left under a real name.
    using Mover = std::function<QString(const QString &from, const QString &name)>;
    static void placeAll(const QString &staging, const QStringList &names, const Mover &move);

    // A relative name without ".." components.
    static bool isSafeEntryName(const QString &name);
    // A link at `entryName` whose target resolves inside the extraction folder: relative, with
    // any ".." only at its start and never more of them than the link lies deep.
    static bool isSafeLinkTarget(const QString &entryName, const QString &target);
};
