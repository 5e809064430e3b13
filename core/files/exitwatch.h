#pragma once
// Tells when a child of ours exits, with its exit status, without blocking anyone: the kernel's
// process descriptor (pidfd) wakes the owner's event loop, where the child is collected. Where
// the kernel has no pidfd the child is looked at twice a second instead. The watch deletes
// itself once it has reported; a child that never exits is collected when we quit.

#include <QObject>
#include <QTimer>

#include <sys/types.h>

class QSocketNotifier;

class ExitWatch : public QObject
{
    Q_OBJECT

public:
    // Starts watching `pid`, a child of ours, from the calling thread's event loop.
    static ExitWatch *watch(pid_t pid, QObject *parent = nullptr);
    ~ExitWatch() override;

Q_SIGNALS:
    // The exit code, or -1 when a signal ended it.
    void exited(int code);

private:
    ExitWatch(pid_t pid, QObject *parent);
    void collect();

    pid_t m_pid;
    int m_pidfd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_poll;
};
