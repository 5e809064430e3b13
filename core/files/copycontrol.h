#pragma once
// What the caller of a long piece of work on an item (a copy or move, an archive written or
// unpacked, a deletion) can follow and stop while it runs: the bytes done of the item, and a
// check polled inside large files and between the entries of a folder. All are optional; a
// default CopyControl works without any.
//
// Progress comes on the copying thread, at most about twenty times a second, and once more at
// the end with `bytesDone == bytesTotal`. When `shouldContinue` answers false the transfer
// stops, removes what it had built, leaves the source as it was, and throws FileError with
// ECANCELED. A move within one file system is a single rename: it reports no progress and
// can't be cancelled.
//
// `pauseMidFile` runs on the working thread inside an item, right before `shouldContinue` is
// asked (it gets that check, to stop holding once the work is cancelled): between two chunks of
// a file's data once past its start (copies, archives; `bytesDone` into the file), or between
// two entries of a tree being deleted, once one is gone (then `bytesDone` counts entries). It
// lets a caller hold the work inside an item for as long as it likes, cancel meanwhile, and
// know the work stops there: no timing involved. Contents the file system shares in one step
// (reflinks) never pass through it.
//
// `onItemDone` serves work on several items in one call (an archive of several items): it comes
// on the working thread once each item is through, with the number of items through so far.

#include <QString>
#include <QtGlobal>

#include <functional>

class CopyControl
{
public:
    using OnProgress = std::function<void(qint64 bytesDone, qint64 bytesTotal)>;
    using ShouldContinue = std::function<bool()>;
    using PauseMidFile = std::function<void(const QString &path, qint64 bytesDone, const ShouldContinue &shouldContinue)>;
    using OnItemDone = std::function<void(int itemsDone)>;

    OnProgress onProgress;
    ShouldContinue shouldContinue;
    PauseMidFile pauseMidFile;
    OnItemDone onItemDone;
};
