// One-job-at-a-time file work off the main thread.

#include "filejobworker.h"

#include <QMetaObject>

FileJobWorker::Context::Context(FileJobWorker *worker, int job, std::shared_ptr<std::atomic_bool> canceled)
    : m_worker(worker), m_job(job), m_canceled(std::move(canceled))
{
}

bool FileJobWorker::Context::isCanceled() const
{
    return m_canceled->load();
}

std::function<bool()> FileJobWorker::Context::cancellationCheck() const
{
    return [flag = m_canceled] { return flag->load(); };
}

void FileJobWorker::Context::reportItems(int done, int total)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, job = m_job, done, total] {
        Q_EMIT worker->itemProgress(job, done, total);
    }, Qt::QueuedConnection);
}

void FileJobWorker::Context::reportBytes(qint64 done, qint64 total)
{
    const bool last = done >= total;
    if (!last && m_sinceBytes.isValid() && m_sinceBytes.elapsed() < byteReportIntervalMs)
        return;
    m_sinceBytes.start();
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, job = m_job, done, total] {
        Q_EMIT worker->byteProgress(job, done, total);
    }, Qt::QueuedConnection);
}

FileJobWorker::FileJobWorker(QObject *parent) : QObject(parent)
{
    // One thread: jobs of the same priority leave the queue in the order they entered it.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

FileJobWorker::~FileJobWorker()
{
    cancelAll();
    m_pool.waitForDone();
    // Results queued meanwhile are addressed to this object and die with it.
}

int FileJobWorker::enqueue(Work work)
{
    const int job = ++m_lastJob;
    auto canceled = std::make_shared<std::atomic_bool>(false);
    m_jobs.insert(job, canceled);
    m_pool.start([this, job, canceled, work = std::move(work)] {
        Context context(this, job, canceled);
        std::function<void()> apply = work(context);
        QMetaObject::invokeMethod(this, [this, job, apply = std::move(apply)] { finish(job, apply); },
                                  Qt::QueuedConnection);
    });
    return job;
}

void FileJobWorker::cancel(int job)
{
    if (const auto flag = m_jobs.value(job))
        flag->store(true);
}

void FileJobWorker::cancelAll()
{
    for (const auto &flag : std::as_const(m_jobs))
        flag->store(true);
}

void FileJobWorker::finish(int job, const std::function<void()> &apply)
{
    m_jobs.remove(job);
    if (apply)
        apply();
    Q_EMIT jobFinished(job);
}
