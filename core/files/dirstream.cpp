#include "dirstream.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

} // namespace

DirStream::DirStream(UniqueFd folder)
{
    if (!folder.valid()) {
        m_error = errno;
        return;
    }
    m_dir = ::fdopendir(folder.get());
    if (!m_dir) {
        m_error = errno;
        return;
    }
    m_fd = folder.release();
}

DirStream::~DirStream()
{
    close();
}

DirStream &DirStream::operator=(DirStream &&other) noexcept
{
    if (this != &other) {
        close();
        m_dir = std::exchange(other.m_dir, nullptr);
        m_fd = std::exchange(other.m_fd, -1);
        m_error = other.m_error;
    }
    return *this;
}

DirStream DirStream::openAt(int dirFd, const char *name)
{
    return DirStream(UniqueFd(::openat(dirFd, name, FolderFlags | O_NOFOLLOW)));
}

DirStream DirStream::open(const char *path)
{
    return DirStream(UniqueFd(::open(path, FolderFlags)));
}

QList<QByteArray> DirStream::namesIn(int dirFd, int &err)
{
    // A duplicate shares the read offset with `dirFd`: start it from the top, so a second call
    // reads the folder again. (Opening "." anew would need search permission on the folder.)
    UniqueFd copy(::dup(dirFd));
    if (copy.valid())
        ::lseek(copy.get(), 0, SEEK_SET);
    DirStream dir(std::move(copy));
    const QList<QByteArray> found = dir.isOpen() ? dir.names() : QList<QByteArray>();
    err = dir.error();
    return found;
}

QList<QByteArray> DirStream::names()
{
    QList<QByteArray> found;
    while (const dirent *entry = next())
        found.append(QByteArray(entry->d_name));
    return found;
}

void DirStream::close()
{
    if (!m_dir)
        return;
    const int saved = errno;
    ::closedir(m_dir);
    errno = saved;
    m_dir = nullptr;
    m_fd = -1;
}
