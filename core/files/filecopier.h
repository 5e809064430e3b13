#pragma once
// Low-level copying and moving of whole items, built so that a failure never leaves a
// half-made item under the destination name and never costs the user the original.
//
// A copy is assembled under a hidden temporary name in the destination folder and renamed into
// place (without replacing anything) only once it is complete. File contents go through the
// kernel (reflink, then copy_file_range, then read/write); modes, ownership where permitted, and
// access and modification times are kept, and holes stay holes; symbolic links are copied as
// links; pipes, sockets and devices are refused, because reading them could block forever.
// A CopyControl follows the copy of the item and may cancel it (see copycontrol.h).

#include "copycontrol.h"
#include "fileerror.h"
#include "treeremover.h"

#include <QString>

class FileCopier
{
public:
    // Prefix of the temporary names copies are built under.
    static QString temporaryPrefix();

    // Copies the item at `source` to the free path `target`. Throws FileError naming `source`.
    static void copy(const QString &source, const QString &target, FileError::Operation operation,
                     const CopyControl &control = {});

    // Moves without replacing anything at `target`. Across file systems the item is copied first
    // and the original deleted only after the whole copy is in place, and then only what was
    // copied: whatever appeared or changed in the original meanwhile is kept, and reported.
    // Only the copy across file systems reports progress and can be cancelled; a rename can't.
    static void move(const QString &source, const QString &target, FileError::Operation operation,
                     const CopyControl &control = {});

private:
    static void copyRecording(const QString &source, const QString &target, FileError::Operation operation,
                              const CopyControl &control, TreeRemover::Snapshot *record);
};
