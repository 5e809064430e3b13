#include "filejob.h"

#include <QMetaObject>

#include <cerrno>

FileJob::FileJob(Work work, QObject *parent) : QObject(parent), m_work(std::move(work)) {}

CopyControl FileJob::Context::copyControl()
{
    CopyControl control;
    control.onProgress = [this](qint64 done, qint64 total) { reportBytes(done, total); };
    control.shouldContinue = [this] { return !isCanceled(); };
    control.pauseMidFile = m_job.m_pauseMidFile;
    return control;
}

void FileJob::Context::reportItems(int done, int total)
{
    QMetaObject::invokeMethod(&m_job, [job = &m_job, done, total] { Q_EMIT job->itemProgress(done, total); },
                              Qt::QueuedConnection);
}

void FileJob::Context::reportBytes(qint64 done, qint64 total)
{
    const bool last = done >= total;
    if (!last && m_sinceBytes.isValid() && m_sinceBytes.elapsed() < byteReportIntervalMs)
        return;
    m_sinceBytes.start();
    QMetaObject::invokeMethod(&m_job, [job = &m_job, done, total] { Q_EMIT job->byteProgress(done, total); },
                              Qt::QueuedConnection);
}

void FileJob::run()
{
    Context context(*this);
    try {
        m_work(context);
    } catch (const FileError &error) {
        // Stopped inside an item because it was asked to: no failure to report, unless the stop
        // left something the user must know of (a replaced item that stayed in the Trash).
        if (error.code() != ECANCELED || !isCanceled() || !error.notes().isEmpty())
            m_error = error;
    }
    // The results were written on this thread; the queued call publishes them to the main one.
    QMetaObject::invokeMethod(this, [this] {
        if (m_error)
            Q_EMIT failed(*m_error);
        Q_EMIT finished();
    }, Qt::QueuedConnection);
}
