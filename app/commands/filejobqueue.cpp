#include "filejobqueue.h"

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
    m_pool.start([job] { job->run(); });
    Q_EMIT pendingCountChanged();
}

void FileJobQueue::cancelAll()
{
    for (FileJob *job : std::as_const(m_jobs))
        job->cancel();
}
