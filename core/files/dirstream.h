#pragma once
// An open folder read entry by entry: owns the DIR stream, never yields "." or "..", and keeps
// the errno of a failed open or read, which readdir reports only through errno.

#include "uniquefd.h"

#include <QByteArray>
#include <QList>

#include <dirent.h>
#include <utility>

class DirStream
{
public:
    DirStream() = default;
    // Takes the descriptor of an open folder.
    explicit DirStream(UniqueFd folder);
    ~DirStream();
    DirStream(DirStream &&other) noexcept
        : m_dir(std::exchange(other.m_dir, nullptr)), m_fd(std::exchange(other.m_fd, -1)),
          m_error(other.m_error)
    {
    }
    DirStream &operator=(DirStream &&other) noexcept;
    DirStream(const DirStream &) = delete;
    DirStream &operator=(const DirStream &) = delete;

    // The folder `name` relative to `dirFd` (or AT_FDCWD), never through a link at `name`.
    static DirStream openAt(int dirFd, const char *name);
    // The folder at `path`, following links.
    static DirStream open(const char *path);

    // Every name in the open folder `dirFd`, read from its start through a duplicate descriptor,
    // so a second call reads the folder again and no stream is held while the caller works
    // through the names. `err` is 0, or the errno of the failure.
    static QList<QByteArray> namesIn(int dirFd, int &err);

    bool isOpen() const { return m_dir != nullptr; }
    int fd() const { return m_fd; }
    // The errno of the failed open or of the read that ended the stream; 0 otherwise.
    int error() const { return m_error; }

    // The next entry; null at the end or on an error (see error()). Valid until the next call.
    const dirent *next()
    {
        if (!m_dir)
            return nullptr;
        for (;;) {
            errno = 0;
            const dirent *entry = ::readdir(m_dir);
            if (!entry) {
                m_error = errno;
                return nullptr;
            }
            if (!isDotOrDotDot(entry->d_name))
                return entry;
        }
    }

    // The names of every remaining entry.
    QList<QByteArray> names();

    // Closes the folder now.
    void close();

    static bool isDotOrDotDot(const char *name)
    {
        return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
    }

private:
    DIR *m_dir = nullptr;
    int m_fd = -1;
    int m_error = 0;
};
