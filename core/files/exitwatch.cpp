#include "exitwatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

ExitWatch *ExitWatch::watch(pid_t pid, QObject *parent)
{
    return new ExitWatch(pid, parent);
}

ExitWatch::ExitWatch(pid_t pid, QObject *parent) : QObject(parent), m_pid(pid)
{
#ifdef SYS_pidfd_open
    m_pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
#endif
    if (m_pidfd >= 0) {
        m_notifier = new QSocketNotifier(m_pidfd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &ExitWatch::collect);
    } else {
        connect(&m_poll, &QTimer::timeout, this, &ExitWatch::collect);
        m_poll.start(500);
    }
}

ExitWatch::~ExitWatch()
{
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (m_pidfd >= 0)
        ::close(m_pidfd);
}

void ExitWatch::collect()
{
    int status = 0;
    pid_t done;
    while ((done = ::waitpid(m_pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (done == 0)
        return; // still running (a poll, or a spurious wake-up)
    if (m_notifier)
        m_notifier->setEnabled(false);
    m_poll.stop();
    Q_EMIT exited(done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    deleteLater();
}
