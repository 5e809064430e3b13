#include "readlease.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>

namespace {

// Every lease holds a descriptor until its file is deleted; a large folder needs many. The soft
// limit is raised to the hard one once (nothing here uses select()), and leases stop well short
// of it so the rest of the program still has descriptors to work with.
bool descriptorsToSpare(int fd)
{
    static const rlim_t limit = [] {
        struct rlimit limits;
        if (::getrlimit(RLIMIT_NOFILE, &limits) != 0)
            return rlim_t(1024);
        if (limits.rlim_cur < limits.rlim_max) {
            limits.rlim_cur = limits.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limits);
            ::getrlimit(RLIMIT_NOFILE, &limits);
        }
        return limits.rlim_cur;
    }();
    return rlim_t(fd) < limit - limit / 4;
}

} // namespace

ReadLease ReadLease::take(int fd)
{
    UniqueFd own(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (!own.valid() || !descriptorsToSpare(own.get()))
        return ReadLease(Outcome::unavailable);
    // The kernel tells the holder of a lease that a writer wants it by a signal, SIGIO unless
    // told otherwise, which would end the program. SIGURG is ignored unless someone handles it;
    // the break is seen by asking, in intact().
    if (::fcntl(own.get(), F_SETSIG, SIGURG) != 0)
        return ReadLease(Outcome::unavailable);
    if (::fcntl(own.get(), F_SETLEASE, F_RDLCK) == 0)
        return ReadLease(Outcome::held, std::move(own));
    return ReadLease(errno == EAGAIN ? Outcome::writerPresent : Outcome::unavailable);
}

bool ReadLease::intact()
{
    if (!m_fd.valid())
        return false;
    if (::fcntl(m_fd.get(), F_GETLEASE) == F_RDLCK)
        return true;
    m_fd.reset();
    return false;
}
