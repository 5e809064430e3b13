#pragma once
// Deletes whole trees, never following links. Two kinds of tree call for two manners:
// - an item of the user's (the original after a move across file systems) is deleted as its
//   modes allow, and the first failure stops the deletion and is reported;
// - a tree the program made itself (a failed copy, a staging folder) is discarded as far as
//   possible: folders are opened up first, since a mode copied onto one or taken from an
//   archive may forbid removing what lies inside, and failures are passed over.

#include "copycontrol.h"
#include "fileerror.h"
#include "readlease.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

struct stat;

class TreeRemover
{
public:
    // Deletes `path` and everything in it. Throws FileError naming the entry that failed, or
    // ECANCELED once the control's check answers false (asked before each entry, after its
    // hold hook once an entry is gone); what was deleted by then stays deleted. A volume mounted
    // inside is left whole: EBUSY naming its mount point. No progress in bytes: the work is in
    // the entries, not their size.
    static void removeItem(const QString &path, FileError::Operation operation, const CopyControl &control = {});

    // Discards `name` in the folder `parentFd` (or AT_FDCWD) and everything in it; best effort.
    static void discard(int parentFd, const char *name);

    // What a tree held when it was copied: each entry by device and inode, with the size and
    // times it had then (folders by identity only), and for a file, the read lease taken on it
    // before it was read, where there is one.
    struct Stamp
    {
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool isFolder = false;
        bool hasOtherNames = false; // hard-linked: deleting one name changes the others' ctime
        std::shared_ptr<ReadLease> lease;
        // True when `now` (the entry as it is) still is what this stamp recorded, and no writer
        // has broken the lease.
        bool stillMatches(const Stamp &now) const;
    };
    using Snapshot = QHash<std::pair<quint64, quint64>, Stamp>;
    static void record(Snapshot &snapshot, const struct stat &st, std::shared_ptr<ReadLease> lease = {});
    // Lets go of the leases writers have broken, so that they need not wait for the move to end.
    static void releaseBroken(const Snapshot &snapshot);

    // Deletes the part of `path` that `snapshot` holds unchanged, and keeps what appeared or
    // changed since (with the folders that hold it): after a move across file systems, only what
    // was really copied may go. Returns the paths kept; throws FileError at the first failure.
    static QStringList removeCopied(const QString &path, const Snapshot &snapshot, FileError::Operation operation);
};
