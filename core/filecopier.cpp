#include "filecopier.h"

#include <QFile>
#include <QUuid>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now and reports failure: some file systems only report a failed write here.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

QString childPath(const QString &parent, const char *name)
{
    return parent + QLatin1Char('/') + QFile::decodeName(name);
}

// Names in an open folder, read in full before anything in it changes.
QList<QByteArray> entryNames(int dirFd, int &err)
{
    QList<QByteArray> names;
    err = 0;
    const int own = ::dup(dirFd);
    DirPtr dir(own >= 0 ? ::fdopendir(own) : nullptr);
    if (!dir) {
        err = errno;
        if (own >= 0)
            ::close(own);
        return names;
    }
    for (;;) {
        errno = 0; // readdir reports failure only through errno
        const dirent *entry = ::readdir(dir.get());
        if (!entry) {
            err = errno;
            break;
        }
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.append(QByteArray(name));
    }
    return names;
}

// Owner (best effort: only root may give an item away), mode, then times, in that order
// because a change of owner clears set-id bits and every change touches the times.
int applyMetadata(int fd, const struct stat &st)
{
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0)
            [[maybe_unused]] int ignored = ::fchown(fd, uid_t(-1), st.st_gid);
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return ::futimens(fd, times) == 0 ? 0 : errno;
}

int readWriteLoop(int in, int out, QByteArray &buffer)
{
    if (buffer.isEmpty())
        buffer.resize(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), size_t(buffer.size()));
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.constData() + done, size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put < 0 ? errno : EIO;
            done += put;
        }
    }
}

bool copyRangeUnsupported(int err)
{
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

// Shares the blocks when the file system can, else lets the kernel copy, else copies by hand.
int copyContents(int in, int out, const struct stat &st, QByteArray &buffer)
{
    if (::ioctl(out, FICLONE, in) == 0)
        return 0;
    // Files that report size 0 (many in /proc and /sys) still have contents: read those.
    if (st.st_size > 0) {
        bool copiedAny = false;
        for (;;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
            if (n > 0) {
                copiedAny = true;
                continue;
            }
            if (n == 0 && copiedAny)
                return 0;
            if (n == 0)
                break;
            if (errno == EINTR)
                continue;
            if (copiedAny || !copyRangeUnsupported(errno))
                return errno;
            break;
        }
    }
    return readWriteLoop(in, out, buffer);
}

// One copy of one item and everything under it. Errors name the source item concerned.
class TreeCopy
{
public:
    explicit TreeCopy(Op operation) : m_operation(operation) {}

    // True once the top item exists at the destination, i.e. there is something to clean up.
    bool createdTop() const { return m_createdTop; }

    void entry(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        struct stat st;
        if (::fstatat(srcDir, srcName, &st, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, path);
        if (S_ISLNK(st.st_mode))
            link(srcDir, srcName, dstDir, dstName, st, path);
        else if (S_ISDIR(st.st_mode))
            directory(srcDir, srcName, dstDir, dstName, path);
        else if (S_ISREG(st.st_mode))
            file(srcDir, srcName, dstDir, dstName, path);
        else
            refuseSpecial(path);
    }

private:
    [[noreturn]] void fail(int err, const QString &path) const { throw FileError::fromErrno(m_operation, err, path); }

    [[noreturn]] void refuseSpecial(const QString &path) const
    {
        throw FileError(m_operation, EOPNOTSUPP, path,
                        QStringLiteral("pipes, sockets and device files can't be copied"));
    }

    void created() { m_createdTop = true; }

    void file(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        // Non-blocking so that an entry swapped for a pipe since it was examined can't make open wait.
        Fd in(::openat(srcDir, srcName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!in.valid())
            fail(errno, path);
        struct stat st;
        if (::fstat(in.get(), &st) != 0)
            fail(errno, path);
        if (!S_ISREG(st.st_mode))
            refuseSpecial(path);
        ::fcntl(in.get(), F_SETFL, 0);
        Fd out(::openat(dstDir, dstName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid())
            fail(errno, path);
        created();
        if (const int err = copyContents(in.get(), out.get(), st, m_buffer))
            fail(err, path);
        if (const int err = applyMetadata(out.get(), st))
            fail(err, path);
        if (out.close() != 0)
            fail(errno, path);
    }

    void link(int srcDir, const char *srcName, int dstDir, const char *dstName, const struct stat &st,
              const QString &path)
    {
        QByteArray target(qsizetype(st.st_size) + 1, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::readlinkat(srcDir, srcName, target.data(), size_t(target.size()));
            if (n < 0)
                fail(errno, path);
            if (n < target.size()) {
                target.truncate(n);
                break;
            }
            target.resize(target.size() * 2); // the link grew since it was examined
        }
        if (::symlinkat(target.constData(), dstDir, dstName) != 0)
            fail(errno, path);
        created();
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            [[maybe_unused]] int ignored = ::fchownat(dstDir, dstName, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::utimensat(dstDir, dstName, times, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, path);
    }

    void directory(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        Fd src(::openat(srcDir, srcName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!src.valid())
            fail(errno, path);
        struct stat st;
        if (::fstat(src.get(), &st) != 0)
            fail(errno, path);
        // Private while being filled; the real mode (maybe read-only) is set once it is complete.
        if (::mkdirat(dstDir, dstName, 0700) != 0)
            fail(errno, path);
        created();
        Fd dst(::openat(dstDir, dstName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!dst.valid())
            fail(errno, path);
        int err = 0;
        const QList<QByteArray> names = entryNames(src.get(), err);
        if (err != 0)
            fail(err, path);
        for (const QByteArray &name : names)
            entry(src.get(), name.constData(), dst.get(), name.constData(), childPath(path, name.constData()));
        if (const int metaErr = applyMetadata(dst.get(), st))
            fail(metaErr, path);
    }

    Op m_operation;
    bool m_createdTop = false;
    QByteArray m_buffer;
};

// Files and links go with a single unlink; only a folder (EISDIR) is opened and emptied first.
void removeEntry(int dirFd, const char *name, const QString &path, Op operation)
{
    if (::unlinkat(dirFd, name, 0) == 0)
        return;
    if (errno != EISDIR)
        throw FileError::fromErrno(operation, errno, path);
    Fd folder(::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    int err = 0;
    const QList<QByteArray> names = entryNames(folder.get(), err);
    if (err != 0)
        throw FileError::fromErrno(operation, err, path);
    for (const QByteArray &child : names)
        removeEntry(folder.get(), child.constData(), childPath(path, child.constData()), operation);
    if (::unlinkat(dirFd, name, AT_REMOVEDIR) != 0)
        throw FileError::fromErrno(operation, errno, path);
}

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString FileCopier::temporaryPrefix()
{
    return QStringLiteral(".tallowmere-copy-");
}

void FileCopier::copy(const QString &source, const QString &target, FileError::Operation operation)
{
    Fd folder(::open(QFile::encodeName(parentOf(target)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, source);
    const QByteArray temporary =
        QFile::encodeName(temporaryPrefix() + QUuid::createUuid().toString(QUuid::WithoutBraces));
    TreeCopy tree(operation);
    try {
        tree.entry(AT_FDCWD, QFile::encodeName(source).constData(), folder.get(), temporary.constData(), source);
        if (::renameat2(folder.get(), temporary.constData(), folder.get(), QFile::encodeName(nameOf(target)).constData(),
                        RENAME_NOREPLACE)
            != 0)
            throw FileError::fromErrno(operation, errno, source);
    } catch (const FileError &) {
        if (tree.createdTop()) {
            try {
                removeEntry(folder.get(), temporary.constData(), target, operation);
            } catch (const FileError &) {
                // The copy's own failure is the one worth reporting; a leftover is hidden and marked.
            }
        }
        throw;
    }
}

void FileCopier::move(const QString &source, const QString &target, FileError::Operation operation)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(source).constData(), AT_FDCWD, QFile::encodeName(target).constData(),
                    RENAME_NOREPLACE)
        == 0)
        return;
    if (errno != EXDEV)
        throw FileError::fromErrno(operation, errno, source);
    // Copying everything only to find the original can't be deleted would leave two of it.
    if (::faccessat(AT_FDCWD, QFile::encodeName(parentOf(source)).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw FileError::fromErrno(operation, errno, source);
    copy(source, target, operation);
    try {
        removeTree(source, operation);
    } catch (const FileError &error) {
        throw FileError(operation, error.code(), source,
                        QStringLiteral("it was copied in full to “%1”, but the original could not be deleted "
                                       "completely (“%2”); both copies exist and nothing is lost")
                            .arg(target, error.path()));
    }
}

void FileCopier::removeTree(const QString &path, FileError::Operation operation)
{
    Fd folder(::open(QFile::encodeName(parentOf(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    removeEntry(folder.get(), QFile::encodeName(nameOf(path)).constData(), path, operation);
}
