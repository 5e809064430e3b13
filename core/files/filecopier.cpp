#include "filecopier.h"

#include "dirstream.h"
#include "filenames.h"
#include "folderchain.h"
#include "posixfs.h"
#include "progressmeter.h"
#include "readlease.h"
#include "temporaryname.h"
#include "treeremover.h"
#include "uniquefd.h"
#include "urls.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

constexpr qint64 ChunkBytes = qint64(8) << 20; // copied between two looks at the cancellation check
constexpr useconds_t LeaseWaitStepUs = 20'000;

// Attributes that belong to the item and mean the same wherever it lies: the user's own (tags,
// the address a download came from) and the POSIX ACLs. Security labels and trusted ones are
// the system's business.
bool travelsWithCopy(const char *name)
{
    return std::strncmp(name, "user.", 5) == 0 || std::strcmp(name, "system.posix_acl_access") == 0
           || std::strcmp(name, "system.posix_acl_default") == 0;
}

// Copies the extended attributes that travel with an item. A destination that can't hold them
// (no support, no permission) doesn't fail the copy; running out of room does. 0 or an errno.
int copyExtendedAttributes(int in, int out)
{
    QByteArray names(1024, Qt::Uninitialized);
    ssize_t size;
    while ((size = ::flistxattr(in, names.data(), size_t(names.size()))) < 0 && errno == ERANGE)
        names.resize(names.size() * 4);
    if (size <= 0)
        return 0;
    QByteArray value;
    for (const char *name = names.constData(); name < names.constData() + size; name += std::strlen(name) + 1) {
        if (!travelsWithCopy(name))
            continue;
        const ssize_t length = ::fgetxattr(in, name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(length);
        const ssize_t got = ::fgetxattr(in, name, value.data(), size_t(value.size()));
        if (got < 0)
            continue;
        if (::fsetxattr(out, name, value.constData(), size_t(got), 0) != 0
            && (errno == ENOSPC || errno == EDQUOT || errno == EIO))
            return errno;
    }
    return 0;
}

bool copyRangeUnsupported(int err)
{
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == EBADF;
}

// The contents of one open file into another: shared blocks when the file system can, else the
// data the kernel copies, else by hand. Holes stay holes, as the data is copied region by
// region at the same offsets. Returns 0 or an errno; throws when cancelled.
class ContentCopy
{
public:
    ContentCopy(int in, int out, ProgressMeter &meter, const QString &path, QByteArray &buffer)
        : m_in(in), m_out(out), m_meter(meter), m_path(path), m_buffer(buffer)
    {
        if (m_buffer.isEmpty())
            m_buffer.resize(256 * 1024);
    }

    int run(const struct stat &st)
    {
        if (::ioctl(m_out, FICLONE, m_in) == 0) {
            m_meter.add(st.st_size);
            return 0;
        }
        // Files that report size 0 (many in /proc and /sys) still have contents: read those.
        return st.st_size > 0 ? regions() : streamed();
    }

private:
    int regions()
    {
        off_t pos = 0;
        for (;;) {
            off_t data = ::lseek(m_in, pos, SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                break; // only a hole, if anything, remains
            if (data < 0) // no hole finding here: all of it is data
                return pos == 0 ? range(0, std::numeric_limits<off_t>::max(), pos) : errno;
            const off_t hole = ::lseek(m_in, data, SEEK_HOLE);
            if (hole < 0)
                return errno;
            m_meter.add(data - pos);
            if (const int err = range(data, hole, pos))
                return err;
            // Ended short of the data it claimed: sysfs files report a page and hold a few bytes,
            // and would claim that page again for ever. The copy ends with the data.
            if (pos < hole)
                return 0;
        }
        const off_t end = ::lseek(m_in, 0, SEEK_END);
        if (end < 0)
            return errno;
        if (end <= pos)
            return 0;
        m_meter.add(end - pos);
        return ::ftruncate(m_out, end) == 0 ? 0 : errno; // a hole at the end
    }

    // Copies [from, to) at the same offsets, or up to the end of the file if it comes first;
    // `pos` ends where the copying did.
    int range(off_t from, off_t to, off_t &pos)
    {
        pos = from;
        while (pos < to) {
            m_meter.checkMidFile(m_path, pos);
            const size_t want = size_t(std::min<off_t>(to - pos, ChunkBytes));
            const ssize_t n = m_byHand ? byHand(pos, want) : kernel(pos, want);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && !m_byHand && copyRangeUnsupported(errno)) {
                m_byHand = true;
                continue;
            }
            if (n < 0)
                return errno;
            // Some kernels' copy_file_range answers 0 for a file it can't splice long before its
            // end: only a read can say it ended.
            if (n == 0 && !m_byHand) {
                m_byHand = true;
                continue;
            }
            if (n == 0)
                break; // the file ended early
            pos += n;
            m_meter.add(n);
        }
        return 0;
    }

    ssize_t kernel(off_t pos, size_t want)
    {
        off_t in = pos, out = pos;
        return ::copy_file_range(m_in, &in, m_out, &out, want, 0);
    }

    ssize_t byHand(off_t pos, size_t want)
    {
        const ssize_t got = ::pread(m_in, m_buffer.data(), std::min(want, size_t(m_buffer.size())), pos);
        if (got <= 0)
            return got;
        return writeAll(got, pos) ? got : -1;
    }

    bool writeAll(ssize_t size, off_t pos)
    {
        for (ssize_t done = 0; done < size;) {
            const ssize_t put = pos < 0 ? ::write(m_out, m_buffer.constData() + done, size_t(size - done))
                                        : ::pwrite(m_out, m_buffer.constData() + done, size_t(size - done), pos + done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                errno = put < 0 ? errno : EIO;
                return false;
            }
            done += put;
        }
        return true;
    }

    int streamed()
    {
        for (qint64 done = 0;;) {
            m_meter.checkMidFile(m_path, done);
            const ssize_t got = ::read(m_in, m_buffer.data(), size_t(m_buffer.size()));
            if (got == 0)
                return 0;
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || !writeAll(got, -1))
                return errno;
            done += got;
            m_meter.add(got);
        }
    }

    int m_in;
    int m_out;
    ProgressMeter &m_meter;
    const QString &m_path;
    QByteArray &m_buffer;
    bool m_byHand = false;
};

// One copy of one item and everything under it. Errors name the source item concerned.
class TreeCopy
{
public:
    // With `record`, every entry copied is noted there as it was when it was read.
    // The item is copied from inside `sourceFolder` into `destinationFolder` (either may be
    // AT_FDCWD).
    TreeCopy(Op operation, ProgressMeter &meter, const QString &destination, int sourceFolder, int destinationFolder,
             TreeRemover::Snapshot *record = nullptr)
        : m_operation(operation), m_meter(meter), m_destination(destination), m_record(record),
          m_src(sourceFolder), m_dst(destinationFolder)
    {
    }

    // True once the top item exists at the destination, i.e. there is something to clean up.
    bool createdTop() const { return m_createdTop; }

    // Copies the item `srcName` of the source's folder to `dstName` in the destination folder,
    // folder by folder, without recursion.
    void item(const char *srcName, const char *dstName, const QString &path)
    {
        entry(srcName, dstName, path);
        while (!m_folderStats.empty()) {
            if (const std::optional<QByteArray> name = m_src.nextEntry()) {
                const QString childPath = Urls::childPath(m_src.place().path, FileNames::decode(*name));
                m_meter.check(childPath);
                entry(name->constData(), name->constData(), childPath);
            } else {
                finishDirectory();
            }
        }
    }

private:
    // Copies one entry; a folder is made and entered, and filled as the walk goes on.
    void entry(const char *srcName, const char *dstName, const QString &path)
    {
        const int srcDir = folder(m_src, path);
        const int dstDir = folder(m_dst, path);
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

    // A full or read-only destination is no fault of the source: the destination is named.
    [[noreturn]] void fail(int err, const QString &path) const
    {
        if (err == ENOSPC || err == EDQUOT)
            throw FileError(m_operation, err, path, ErrorNote(ErrorNote::Kind::noRoomIn, {m_destination}));
        if (err == EROFS)
            throw FileError(m_operation, err, path, ErrorNote(ErrorNote::Kind::notWritable, {m_destination}));
        throw FileError::fromErrno(m_operation, err, path);
    }

    // The folder the copy is in on one side; a deep tree's folder that was moved away while the
    // copy was below it is not followed.
    int folder(const FolderChain &chain, const QString &path) const
    {
        const int fd = chain.top();
        if (fd < 0 && fd != AT_FDCWD)
            throw FileError(m_operation, errno, path, ErrorNote(ErrorNote::Kind::folderAboveMoved));
        return fd;
    }

    [[noreturn]] void refuseSpecial(const QString &path) const
    {
        throw FileError(m_operation, EOPNOTSUPP, path, ErrorNote(ErrorNote::Kind::specialFile));
    }

    void created() { m_createdTop = true; }

    void note(const struct stat &st, std::shared_ptr<ReadLease> lease = {})
    {
        if (m_record)
            TreeRemover::record(*m_record, st, std::move(lease));
    }

    // For a move, a file is leased before it is examined, so that every writer from then on is
    // seen. One open for writing already is copied, but not noted: the original stays.
    void noteFile(const struct stat &st, std::shared_ptr<ReadLease> lease)
    {
        if (!lease || lease->outcome() == ReadLease::Outcome::unavailable)
            note(st);
        else if (lease->outcome() == ReadLease::Outcome::held)
            note(st, std::move(lease));
    }

    void rememberTop(int fd)
    {
        struct stat st;
        if (m_top.second == 0 && ::fstat(fd, &st) == 0)
            m_top = {st.st_dev, st.st_ino};
    }

    // Non-blocking so that an entry swapped for a pipe since it was examined can't make open
    // wait. A file another program holds a write lease on refuses such an open (EWOULDBLOCK)
    // until that program, told by the kernel that we want the file, lets go of it: that is
    // waited for, with the cancellation check asked meanwhile.
    UniqueFd openSource(int srcDir, const char *srcName, const QString &path)
    {
        for (;;) {
            UniqueFd in(::openat(srcDir, srcName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
            if (in.valid() || errno != EWOULDBLOCK)
                return in;
            m_meter.check(path);
            ::usleep(LeaseWaitStepUs);
        }
    }

    void file(int srcDir, const char *srcName, int dstDir, const char *dstName, const QString &path)
    {
        UniqueFd in = openSource(srcDir, srcName, path);
        if (!in.valid())
            fail(errno, path);
        std::shared_ptr<ReadLease> lease;
        if (m_record)
            lease = std::make_shared<ReadLease>(ReadLease::take(in.get()));
        struct stat st;
        if (::fstat(in.get(), &st) != 0)
            fail(errno, path);
        if (!S_ISREG(st.st_mode))
            refuseSpecial(path);
        noteFile(st, std::move(lease));
        ::fcntl(in.get(), F_SETFL, 0);
        UniqueFd out(::openat(dstDir, dstName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid())
            fail(errno, path);
        created();
        if (const int err = ContentCopy(in.get(), out.get(), m_meter, path, m_buffer).run(st))
            fail(err, path);
        if (const int err = copyExtendedAttributes(in.get(), out.get()))
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
            throw FileError(m_operation, EINVAL, path, ErrorNote(ErrorNote::Kind::intoItself));
        // A move deletes each folder's items once all is copied: a folder it can't delete from
        // is found now, before the copy, rather than after it, with the original half gone.
        if (m_record && ::faccessat(src.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
            throw FileError(m_operation, errno, path, ErrorNote(ErrorNote::Kind::cantBeEmptied));
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
        m_src.enter(std::move(src), {{}, path, names});
        m_dst.enter(std::move(dst));
        m_folderStats.push_back(st);
    }

    // The folder the walk is in is complete: it takes its attributes and mode, and is left.
    void finishDirectory()
    {
        const QString &path = m_src.place().path;
        if (const int attrErr = copyExtendedAttributes(folder(m_src, path), folder(m_dst, path)))
            fail(attrErr, path);
        if (const int metaErr = applyMetadata(folder(m_dst, path), m_folderStats.back()))
            fail(metaErr, path);
        m_folderStats.pop_back();
        m_src.leave();
        m_dst.leave();
    }

    Op m_operation;
    ProgressMeter &m_meter;
    QString m_destination;
    TreeRemover::Snapshot *m_record;
    std::pair<dev_t, ino_t> m_top{0, 0};
    bool m_createdTop = false;
    QByteArray m_buffer;
    FolderChain m_src;
    FolderChain m_dst;
    std::vector<struct stat> m_folderStats; // of the folders entered, as they were read
};

// A refusal that may be the destination folder's rather than the source's says so when the
// destination can't be written to.
FileError blamingDestination(int err, const QString &source, const QString &destination, Op operation)
{
    const QByteArray folder = FileNames::encode(destination);
    if ((err == EACCES || err == EPERM || err == EROFS) && ::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return FileError(operation, errno, source, ErrorNote(ErrorNote::Kind::notWritable, {destination}));
    return FileError::fromErrno(operation, err, source);
}

} // namespace

QString FileCopier::temporaryPrefix()
{
    return TemporaryName::copyPrefix;
}

QString FileCopier::copy(const QString &source, const QString &target, FileError::Operation operation,
                         const CopyControl &control, const Retarget &retarget)
{
    return copyRecording(source, target, operation, control, retarget, nullptr);
}

QString FileCopier::copyRecording(const QString &source, const QString &target, FileError::Operation operation,
                                  const CopyControl &control, const Retarget &retarget,
                                  TreeRemover::Snapshot *record)
{
    const UniqueFd folder = PosixFs::openParentFolder(target);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, source);
    const QString destination = Urls::parentPath(target);
    // Without this, the first thing to fail would be the copy of the source, named as the culprit.
    if (::faccessat(folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0)
        throw blamingDestination(errno, source, destination, operation);
    const QByteArray sourceName = FileNames::encode(source);
    ProgressMeter meter(control, operation);
    if (record)
        meter.setChore([record] { TreeRemover::releaseBroken(*record); });
    if (meter.wantsProgress()) {
        meter.measure(sourceName.constData(), source);
    }
    const QByteArray temporary = FileNames::encode(TemporaryName::make(TemporaryName::copyPrefix));
    TreeCopy tree(operation, meter, destination, AT_FDCWD, folder.get(), record);
    QString placed;
    try {
        meter.check(source);
        tree.item(sourceName.constData(), temporary.constData(), source);
        placed = placeFinished(folder.get(), temporary, target, retarget, source, operation);
    } catch (const FileError &) {
        // The copy's own failure is the one worth reporting; should the clean-up leave anything,
        // it is hidden and marked as ours.
        if (tree.createdTop())
            TreeRemover::discard(folder.get(), temporary.constData());
        throw;
    }
    // A move deletes the original next, so its copy must be on the disk, not only in the cache:
    // a stick pulled or the power lost in the following seconds would cost both. Asked through
    // the folder opened before the copy, so that a write that failed meanwhile is reported too.
    if (record && ::syncfs(folder.get()) != 0)
        throw FileError::fromErrno(operation, errno, source);
    meter.finish();
    return placed;
}

// Gives the finished copy its name. Another program may have taken that name while the copy
// ran; with `retarget`, the copy takes the next name offered rather than failing at the end.
QString FileCopier::placeFinished(int folder, const QByteArray &temporary, const QString &target,
                                  const Retarget &retarget, const QString &source, FileError::Operation operation)
{
    QString placed = target;
    for (int attempt = 0;; ++attempt) {
        const QByteArray name = FileNames::encode(Urls::fileName(placed));
        const int err = PosixFs::renameNoReplaceAt(folder, temporary.constData(), folder, name.constData());
        if (err == 0)
            return placed;
        if (err != EEXIST || !retarget || attempt == maxRetargets)
            throw FileError::fromErrno(operation, err, source);
        placed = retarget(placed);
    }
}

QString FileCopier::move(const QString &source, const QString &target, FileError::Operation operation,
                         const CopyControl &control, const Retarget &retarget)
{
    QString placed = target;
    int err = 0;
    for (int attempt = 0;; ++attempt) {
        err = PosixFs::renameNoReplaceAt(AT_FDCWD, FileNames::encode(source).constData(), AT_FDCWD,
                                         FileNames::encode(placed).constData());
        if (err != EEXIST || !retarget || attempt == maxRetargets)
            break;
        placed = retarget(placed);
    }
    if (err == 0)
        return placed;
    if (err != EXDEV)
        throw blamingDestination(err, source, Urls::parentPath(placed), operation);
    // Copying everything only to find the original can't be deleted would leave two of it.
    if (::faccessat(AT_FDCWD, FileNames::encode(Urls::parentPath(source)).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw FileError::fromErrno(operation, errno, source);
    TreeRemover::Snapshot copied;
    placed = copyRecording(source, placed, operation, control, retarget, &copied);
    QStringList kept;
    try {
        // Only what was copied goes: an entry that appeared or changed meanwhile stays put.
        kept = TreeRemover::removeCopied(source, copied, operation);
    } catch (const FileError &error) {
        throw FileError(operation, error.code(), source,
                        ErrorNote(ErrorNote::Kind::copiedButNotDeleted, {placed, error.path()}));
    }
    if (!kept.isEmpty())
        throw FileError(operation, EBUSY, source,
                        ErrorNote(ErrorNote::Kind::copiedButSomeLeft, QStringList{placed} + kept));
    return placed;
}
