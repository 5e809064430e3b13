#pragma once
// Sole owner of a file descriptor: closed when the owner goes, handed on by moving only.
// Closing keeps errno as it was, so an error read from errno after a failed call survives the
// unwinding of the descriptors around it.

#include <cerrno>
#include <unistd.h>
#include <utility>

class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd &&other) noexcept : m_fd(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;

    int get() const noexcept { return m_fd; }
    bool valid() const noexcept { return m_fd >= 0; }

    // Gives up ownership without closing.
    int release() noexcept { return std::exchange(m_fd, -1); }

    void reset(int fd = -1) noexcept
    {
        const int old = std::exchange(m_fd, fd);
        if (old >= 0) {
            const int saved = errno;
            ::close(old);
            errno = saved;
        }
    }

    // Closes now and returns what close(2) returned, errno included: some file systems report
    // a failed write only here.
    int close() noexcept { return ::close(release()); }

private:
    int m_fd = -1;
};
