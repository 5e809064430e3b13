#pragma once
// Runs one window's file work (transfers, trash, duplicate, archives, deletion) on a thread of its
// own, one job at a time, in the order the jobs were asked for, so a long copy never freezes the
// window. A job's work runs on that thread and sees nothing but the copies it was given and its
// Context; what it returns is an action applied afterwards on the main thread, where the models
// live. Progress travels the same way, as queued signals.

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

class FileJobWorker : public QObject
{
    Q_OBJECT

public:
    // What a job's work may touch while it runs on the worker thread.
    class Context
    {
    public:
        // True once the job was cancelled; work looks at it before each item and passes
        // cancellationCheck() down into long copies.
        bool isCanceled() const;
        std::function<bool()> cancellationCheck() const;
        // Items done of the job's total, once per item.
        void reportItems(int done, int total);
        // Bytes of the item in progress. Sent at most about 20 times a second; the last report
        // of an item (done == total) always goes out.
        void reportBytes(qint64 done, qint64 total);

    private:
        friend class FileJobWorker;
        Context(FileJobWorker *worker, int job, std::shared_ptr<std::atomic_bool> canceled);
        FileJobWorker *m_worker;
        int m_job;
        std::shared_ptr<std::atomic_bool> m_canceled;
        QElapsedTimer m_sinceBytes;
    };

    // Runs on the worker thread; returns what to do on the main thread when the work is over
    // (may be empty). Cancelled jobs still run, so that they can settle their state there.
    using Work = std::function<std::function<void()>(Context &)>;

    // Interval between two byte reports of one item.
    static constexpr int byteReportIntervalMs = 50;

    explicit FileJobWorker(QObject *parent = nullptr);
    // Cancels every job and waits for the one running; no result is applied after this.
    ~FileJobWorker() override;

    // Queues a job behind those already asked for; returns its number (from 1).
    int enqueue(Work work);
    // Asks a queued or running job to stop; unknown or finished jobs are ignored.
    void cancel(int job);
    void cancelAll();
    // Jobs asked for and not yet applied on the main thread.
    int pendingCount() const { return int(m_jobs.size()); }

Q_SIGNALS:
    void itemProgress(int job, int done, int total);
    void byteProgress(int job, qint64 done, qint64 total);
    // After the job's result was applied on the main thread.
    void jobFinished(int job);

private:
    void finish(int job, const std::function<void()> &apply);

    QThreadPool m_pool;
    QHash<int, std::shared_ptr<std::atomic_bool>> m_jobs; // main thread only
    int m_lastJob = 0;
};
