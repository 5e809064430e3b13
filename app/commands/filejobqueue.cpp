#include "filejobqueue.h"

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_release(void *address);
extern "C" void __tsan_acquire(void *address);
#endif

namespace {

// Qt's pool hands a job to its thread through locks the thread sanitizer can't see (Qt isn't
// built for it); telling it of the hand-over keeps each of its reports about a job a real one.
void handOver([[maybe_unused]] FileJob *job)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(job);
#endif
}

void takeOver([[maybe_unused]] FileJob *job)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(job);
#endif
}

} // namespace

FileJobQueue::FileJobQueue(QObject *parent) : QObject(parent)
{
    // One thread: jobs leave the queue in the order they entered it.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

FileJobQueue::~FileJobQueue()
{
    cancelAll();
    m_pool.waitForDone();
    // The jobs are children of the queue and go with it, with their unsent reports.
}

void FileJobQueue::enqueue(FileJob *job)
{
    job->setParent(this);
    m_jobs.append(job);
    connect(job, &FileJob::finished, this, [this, job] {
        m_jobs.removeOne(job);
        job->deleteLater();
        Q_EMIT pendingCountChanged();
    });
    handOver(job);
    m_pool.start([job] {
        takeOver(job);
        job->run();
    });
    Q_EMIT pendingCountChanged();
}

void FileJobQueue::cancelAll()
{
    for (FileJob *job : std::as_const(m_jobs))
        job->cancel();
}
