#pragma once
// Low-level copying and moving of whole items, built so that a failure never leaves a
// half-made item under the destination name and never costs the user the original.
//
// A copy is assembled under a hidden temporary name in the destination folder and renamed into
// place (without replacing anything) only once it is complete. File contents go through the
// kernel (reflink, then copy_file_range, then read/write); modes, ownership where permitted,
// access and modification times, user extended attributes and ACLs (where the destination
// takes them) are kept, and holes stay holes; symbolic links are copied as
// links; pipes, sockets and devices are refused, because reading them could block forever.
// A CopyControl follows the copy of the item and may cancel it (see copycontrol.h).

#include "copycontrol.h"
#include "fileerror.h"
#include "treeremover.h"

#include <QByteArray>
#include <QString>

#include <functional>

class FileCopier
{
public:
    // Prefix of the temporary names copies are built under.
    static QString temporaryPrefix();

    // Offers another free path beside a `taken` one, when the one chosen was taken meanwhile.
    using Retarget = std::function<QString(const QString &taken)>;

    // Copies the item at `source` to the free path `target`, or with `retarget`, to the next
    // free path should `target` be taken before the copy is complete. Returns where the copy
    // lies. Throws FileError naming `source`.
    static QString copy(const QString &source, const QString &target, FileError::Operation operation,
                        const CopyControl &control = {}, const Retarget &retarget = {});

    // Moves without replacing anything at `target`. Across file systems the item is copied first
    // and the original deleted only after the whole copy is in place and on the disk, and then
    // only what was copied: whatever appeared or changed in the original meanwhile is kept, and
    // reported.
    // A file is known unchanged by a read lease held from before its copy until after its
    // deletion (see readlease.h): a file open for writing at any time in between stays. Without
    // a lease, size and times are compared, which misses a rewrite that keeps both.
    // Only the copy across file systems reports progress and can be cancelled; a rename can't.
    static QString move(const QString &source, const QString &target, FileError::Operation operation,
                        const CopyControl &control = {}, const Retarget &retarget = {});

private:
    static constexpr int maxRetargets = 100;

    static QString copyRecording(const QString &source, const QString &target, FileError::Operation operation,
                                 const CopyControl &control, const Retarget &retarget, TreeRemover::Snapshot *record);
    static QString placeFinished(int folder, const QByteArray &temporary, const QString &target,
                                 const Retarget &retarget, const QString &source, FileError::Operation operation);
};
