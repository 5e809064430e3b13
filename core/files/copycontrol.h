#pragma once
// What the caller of a copy or move can follow and stop while it runs: the bytes done of the
// item being transferred, and a check polled inside large files and between the entries of a
// folder. Both are optional; a default CopyControl copies without either.
//
// Progress comes on the copying thread, at most about twenty times a second, and once more at
// the end with `bytesDone == bytesTotal`. When `shouldContinue` answers false the transfer
// stops, removes what it had built, leaves the source as it was, and throws FileError with
// ECANCELED. A move within one file system is a single rename: it reports no progress and
// can't be cancelled.

#include <QtGlobal>

#include <functional>

class CopyControl
{
public:
    using OnProgress = std::function<void(qint64 bytesDone, qint64 bytesTotal)>;
    using ShouldContinue = std::function<bool()>;

    OnProgress onProgress;
    ShouldContinue shouldContinue;
};
