#include "filecopier.h"

#include "dirstream.h"
#include "filenames.h"
#include "posixfs.h"
#include "temporaryname.h"
#include "treeremover.h"
#include "uniquefd.h"
#include "urls.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;

// Owner (best effort: only root may give an item away), mode, then times, in that order
// because a change of owner clears set-id bits and every change touches the times.
int applyMetadata(int fd, const struct stat &st)
{
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0)
            [[maybe_unused]] int ignored = ::fchown(fd, uid_t(-1), st.st_gid);
    }
    // FAT and exFAT volumes have no modes to speak of and refuse to change them: the copy stands.
    if (::fchmod(fd, st.st_mode & 07777) != 0 && errno != EPERM && errno != EOPNOTSUPP)
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
    // With `record`, every entry copied is noted there as it was when it was read.
    explicit TreeCopy(Op operation, TreeRemover::Snapshot *record = nullptr)
        : m_operation(operation), m_record(record)
    {
    }

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

    void note(const struct stat &st)
    {
        if (m_record)
            TreeRemover::record(*m_record, st);
    }

    void rememberTop(int fd)
    {
        struct stat st;
        if (m_top.second == 0 && ::fstat(fd, &st) == 0)
            m_top = {st.st_dev, st.st_ino};
    }

    void file(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        // Non-blocking so that an entry swapped for a pipe since it was examined can't make open wait.
        UniqueFd in(::openat(srcDir, srcName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!in.valid())
            fail(errno, path);
        struct stat st;
        if (::fstat(in.get(), &st) != 0)
            fail(errno, path);
        if (!S_ISREG(st.st_mode))
            refuseSpecial(path);
        note(st);
        ::fcntl(in.get(), F_SETFL, 0);
        UniqueFd out(::openat(dstDir, dstName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
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
        note(st);
        created();
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            [[maybe_unused]] int ignored = ::fchownat(dstDir, dstName, st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::utimensat(dstDir, dstName, times, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, path);
    }

    void directory(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        UniqueFd src(::openat(srcDir, srcName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!src.valid())
            fail(errno, path);
        struct stat st;
        if (::fstat(src.get(), &st) != 0)
            fail(errno, path);
        // Reached the copy's own top folder through the source: the destination lies inside the
        // source by a way the path check can't see (a bind mount). Copying on would never end.
        if (m_createdTop && st.st_dev == m_top.first && st.st_ino == m_top.second)
            throw FileError(m_operation, EINVAL, path, QStringLiteral("a folder can't be put inside itself"));
        note(st);
        // Private while being filled; the real mode (maybe read-only) is set once it is complete.
        if (::mkdirat(dstDir, dstName, 0700) != 0)
            fail(errno, path);
        created();
        UniqueFd dst(::openat(dstDir, dstName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!dst.valid())
            fail(errno, path);
        rememberTop(dst.get());
        int err = 0;
        const QList<QByteArray> names = DirStream::namesIn(src.get(), err);
        if (err != 0)
            fail(err, path);
        for (const QByteArray &name : names)
            entry(src.get(), name.constData(), dst.get(), name.constData(), Urls::childPath(path, FileNames::decode(name)));
        if (const int metaErr = applyMetadata(dst.get(), st))
            fail(metaErr, path);
    }

    Op m_operation;
    TreeRemover::Snapshot *m_record;
    std::pair<dev_t, ino_t> m_top{0, 0};
    bool m_createdTop = false;
    QByteArray m_buffer;
};

} // namespace

QString FileCopier::temporaryPrefix()
{
    return TemporaryName::copyPrefix;
}

void FileCopier::copy(const QString &source, const QString &target, FileError::Operation operation)
{
    copyRecording(source, target, operation, nullptr);
}

void FileCopier::copyRecording(const QString &source, const QString &target, FileError::Operation operation,
                               TreeRemover::Snapshot *record)
{
    const UniqueFd folder = PosixFs::openParentFolder(target);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, source);
    const QByteArray temporary = FileNames::encode(TemporaryName::make(TemporaryName::copyPrefix));
    TreeCopy tree(operation, record);
    try {
        tree.entry(AT_FDCWD, FileNames::encode(source).constData(), folder.get(), temporary.constData(), source);
        const QByteArray name = FileNames::encode(Urls::fileName(target));
        if (const int err = PosixFs::renameNoReplaceAt(folder.get(), temporary.constData(), folder.get(), name.constData()))
            throw FileError::fromErrno(operation, err, source);
    } catch (const FileError &) {
        // The copy's own failure is the one worth reporting; should the clean-up leave anything,
        // it is hidden and marked as ours.
        if (tree.createdTop())
            TreeRemover::discard(folder.get(), temporary.constData());
        throw;
    }
}

void FileCopier::move(const QString &source, const QString &target, FileError::Operation operation)
{
    const int err = PosixFs::renameNoReplaceAt(AT_FDCWD, FileNames::encode(source).constData(), AT_FDCWD,
                                               FileNames::encode(target).constData());
    if (err == 0)
        return;
    if (err != EXDEV)
        throw FileError::fromErrno(operation, err, source);
    // Copying everything only to find the original can't be deleted would leave two of it.
    if (::faccessat(AT_FDCWD, FileNames::encode(Urls::parentPath(source)).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw FileError::fromErrno(operation, errno, source);
    TreeRemover::Snapshot copied;
    copyRecording(source, target, operation, &copied);
    QStringList kept;
    try {
        // Only what was copied goes: an entry that appeared or changed meanwhile stays put.
        kept = TreeRemover::removeCopied(source, copied, operation);
    } catch (const FileError &error) {
        throw FileError(operation, error.code(), source,
                        QStringLiteral("it was copied in full to “%1”, but the original could not be deleted "
                                       "completely (“%2”); both copies exist and nothing is lost")
                            .arg(target, error.path()));
    }
    if (!kept.isEmpty())
        throw FileError(operation, EBUSY, source,
                        QStringLiteral("it was copied to “%1”, but these changed during the move and were left "
                                       "where they were: %2")
                            .arg(target, kept.join(QStringLiteral(", "))));
}
