#pragma once
// Runs one window's file jobs off the main thread, one at a time, in the order they were
// queued, so a long copy never freezes the window and two jobs never work on the same files at
// once. The queue owns its jobs: each is deleted soon after its finished() signal, and when the
// queue goes it cancels every job and waits for the one running, in this one place.

#include "filejob.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

class FileJobQueue : public QObject
{
    Q_OBJECT

public:
    explicit FileJobQueue(QObject *parent = nullptr);
    ~FileJobQueue() override;

    // Takes the job and runs it after those queued before it.
    void enqueue(FileJob *job);
    void cancelAll();
    // Jobs queued or running, and not yet finished on the main thread.
    int pendingCount() const { return int(m_jobs.size()); }

Q_SIGNALS:
    void pendingCountChanged();

private:
    QThreadPool m_pool;
    QList<FileJob *> m_jobs; // main thread only
};
