#pragma once
// The progress and the cancellation check of one long piece of work on an item (a copy, an
// archive being written or unpacked, a deletion), over the caller's CopyControl; any part of
// it may be absent.

#include "copycontrol.h"
#include "fileerror.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>

class ProgressMeter
{
public:
    ProgressMeter(const CopyControl &control, FileError::Operation operation) : m_control(control), m_operation(operation) {}

    bool wantsProgress() const { return bool(m_control.onProgress); }
    void setTotal(qint64 total) { m_total = total; }
    // Adds the bytes of the regular files in the item at `path` (never following links) to the
    // total. Cancellable; entries that can't be read count as empty.
    void measure(const char *path, const QString &displayPath);

    // The first report comes at once, the next ones no more often than the interval allows.
    void add(qint64 bytes);
    // Whatever the estimate was, the end is reported as complete.
    void finish() const;

    // Work to do now and then while the work runs, at most as often as progress is reported.
    void setChore(std::function<void()> chore) { m_chore = std::move(chore); }

    // Throws FileError ECANCELED naming `path` once the caller asked to stop.
    void check(const QString &path);
    // Inside an item, `done` (bytes, or entries for a deletion) into it: where a caller's hold
    // hook may keep the work, before the check.
    void checkMidFile(const QString &path, qint64 done);

private:
    static constexpr qint64 ReportIntervalMs = 50;

    const CopyControl &m_control;
    FileError::Operation m_operation;
    qint64 m_done = 0;
    qint64 m_total = 0;
    QElapsedTimer m_clock;
    std::function<void()> m_chore;
    QElapsedTimer m_choreClock;
};
