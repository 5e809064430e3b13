#pragma once
// One piece of a window's file work (a transfer, a trash, a duplicate, an archive, a deletion)
// as an object the window can follow and stop. Its work runs on the queue's thread (see
// FileJobQueue) and sees only the copies it was given and its Context; everything it reports
// reaches the main thread as the job's signals, so listeners connect with themselves as the
// context and simply stop hearing of a job once they are gone.
//
// The work throws FileError to fail; a cancel inside an item (ECANCELED once the job was
// cancelled) is no failure, unless it carries notes (what the stop left the user must know).
// finished() comes last, once, also after a failure or a cancel; what the work made (copies,
// trashed places) and its failure are read from the job then.

#include "copycontrol.h"
#include "fileerror.h"
#include "filepath.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <atomic>
#include <functional>
#include <optional>

class FileJob : public QObject
{
    Q_OBJECT

public:
    // What the work may touch while it runs on the queue's thread.
    class Context
    {
    public:
        explicit Context(FileJob &job) : m_job(job) {}
        bool isCanceled() const { return m_job.isCanceled(); }
        // Progress and cancellation inside an item, for the core's copies, walks and archives.
        CopyControl copyControl();
        // Items done of the job's total, once per item.
        void reportItems(int done, int total);
        // Bytes of the item in progress; sent at most about 20 times a second, the last report
        // of an item (done == total) always.
        void reportBytes(qint64 done, qint64 total);
        // Something the job made, for the undo step.
        void made(const FilePath &url) { m_job.m_made.append(url); }

    private:
        FileJob &m_job;
        QElapsedTimer m_sinceBytes;
    };
    using Work = std::function<void(Context &)>;

    static constexpr int byteReportIntervalMs = 50;

    explicit FileJob(Work work, QObject *parent = nullptr);

    // From any thread; the work stops at its next look at the flag, inside an item too.
    void cancel() { m_canceled = true; }
    bool isCanceled() const { return m_canceled; }
    // Handed to the core's copies: lets a test hold the job inside a file.
    void setPauseMidFile(CopyControl::PauseMidFile pause) { m_pauseMidFile = std::move(pause); }

    // Read once finished() has come.
    const std::optional<FileError> &error() const { return m_error; }
    const QList<FilePath> &madeUrls() const { return m_made; }

    // The queue's thread runs this once.
    void run();

Q_SIGNALS:
    void itemProgress(int done, int total);
    void byteProgress(qint64 done, qint64 total);
    void failed(const FileError &error);
    void finished();

private:
    Work m_work;
    std::atomic_bool m_canceled = false;
    CopyControl::PauseMidFile m_pauseMidFile;
    std::optional<FileError> m_error;
    QList<FilePath> m_made;
};
