#include "iteminspector.h"

#include "dirstream.h"
#include "fileerror.h"

#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <utility>

namespace {

QDateTime dateOf(const struct statx_timestamp &t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000, Qt::UTC);
}

// One walk of a folder tree; keeps the total and the hard-linked files already counted.
class SizeWalk
{
public:
    explicit SizeWalk(const std::function<bool()> &shouldContinue) : m_shouldContinue(shouldContinue) {}

    void addFolder(DirStream dir)
    {
        while (const dirent *entry = dir.next()) {
            if (m_stopped || (m_shouldContinue && !m_shouldContinue())) {
                m_stopped = true;
                return;
            }
            if (entry->d_name[0] == '.') // hidden: neither counted nor entered
                continue;
            addEntry(dir.fd(), entry);
        }
    }

    qint64 total() const { return m_total; }

private:
    void addEntry(int dirFd, const dirent *entry)
    {
        if (entry->d_type == DT_LNK || entry->d_type == DT_FIFO || entry->d_type == DT_SOCK
            || entry->d_type == DT_CHR || entry->d_type == DT_BLK)
            return; // nothing of these counts, and asking for their metadata would be wasted
        if (entry->d_type == DT_DIR) {
            enter(dirFd, entry->d_name);
            return;
        }
        struct stat st;
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (S_ISDIR(st.st_mode))
            enter(dirFd, entry->d_name);
        else if (S_ISREG(st.st_mode) && firstSighting(st))
            m_total += st.st_size;
    }

    void enter(int dirFd, const char *name)
    {
        DirStream dir = DirStream::openAt(dirFd, name);
        if (dir.isOpen())
            addFolder(std::move(dir));
    }

    bool firstSighting(const struct stat &st)
    {
        if (st.st_nlink <= 1)
            return true;
        const std::pair<quint64, quint64> id{st.st_dev, st.st_ino};
        if (m_seenLinkedFiles.contains(id))
            return false;
        m_seenLinkedFiles.insert(id);
        return true;
    }

    const std::function<bool()> &m_shouldContinue;
    QSet<std::pair<quint64, quint64>> m_seenLinkedFiles;
    qint64 m_total = 0;
    bool m_stopped = false;
};

} // namespace

FileInfo ItemInspector::info(const FilePath &url)
{
    const QByteArray &path = url.nativePath();
    struct statx stx;
    if (path.isEmpty()
        || ::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0)
        throw FileError::fromErrno(FileError::Operation::Inspect, path.isEmpty() ? ENOENT : errno, url.path());

    FileInfo info;
    info.name = url.fileName();
    info.isDirectory = (stx.stx_mask & STATX_TYPE) && S_ISDIR(stx.stx_mode);
    if (!info.isDirectory)
        info.byteSize = (stx.stx_mask & STATX_SIZE) ? qint64(stx.stx_size) : 0;
    if (stx.stx_mask & STATX_BTIME)
        info.created = dateOf(stx.stx_btime);
    if (stx.stx_mask & STATX_MTIME)
        info.modified = dateOf(stx.stx_mtime);
    if (stx.stx_mask & STATX_MODE)
        info.posixPermissions = stx.stx_mode & 07777;
    return info;
}

qint64 ItemInspector::directorySize(const FilePath &url, const std::function<bool()> &shouldContinue)
{
    const QByteArray &path = url.nativePath();
    if (path.isEmpty())
        return 0;
    // The folder asked about may itself be reached through a link; only links inside aren't followed.
    DirStream dir = DirStream::open(path.constData());
    if (!dir.isOpen())
        return 0;
    SizeWalk walk(shouldContinue);
    walk.addFolder(std::move(dir));
    return walk.total();
}

std::optional<qint64> ItemInspector::volumeAvailableCapacity(const FilePath &url)
{
    const QByteArray &path = url.nativePath();
    struct statvfs vfs;
    if (path.isEmpty() || ::statvfs(path.constData(), &vfs) != 0 || vfs.f_blocks == 0)
        return std::nullopt;
    return qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
}
