#include "treeremover.h"

#include "dirstream.h"
#include "posixfs.h"
#include "uniquefd.h"
#include "urls.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Files and links go with a single unlink; only a folder (EISDIR) is opened and emptied first.
void removeEntry(int dirFd, const char *name, const QString &path, FileError::Operation operation)
{
    if (::unlinkat(dirFd, name, 0) == 0)
        return;
    if (errno != EISDIR)
        throw FileError::fromErrno(operation, errno, path);
    const UniqueFd folder(::openat(dirFd, name, FolderFlags));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    int err = 0;
    const QList<QByteArray> names = DirStream::namesIn(folder.get(), err);
    if (err != 0)
        throw FileError::fromErrno(operation, err, path);
    for (const QByteArray &child : names)
        removeEntry(folder.get(), child.constData(), Urls::childPath(path, QFile::decodeName(child)), operation);
    if (::unlinkat(dirFd, name, AT_REMOVEDIR) != 0)
        throw FileError::fromErrno(operation, errno, path);
}

} // namespace

void TreeRemover::removeItem(const QString &path, FileError::Operation operation)
{
    const UniqueFd folder = PosixFs::openParentFolder(path);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    removeEntry(folder.get(), QFile::encodeName(Urls::fileName(path)).constData(), path, operation);
}

void TreeRemover::discard(int parentFd, const char *name)
{
    if (::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT)
        return;
    // Opened without following links, so a link swapped in since the unlink is never lent our
    // mode; a folder we can't even read is opened up by name (again without following links).
    UniqueFd folder(::openat(parentFd, name, FolderFlags));
    if (!folder.valid() && ::fchmodat(parentFd, name, 0700, AT_SYMLINK_NOFOLLOW) == 0)
        folder = UniqueFd(::openat(parentFd, name, FolderFlags));
    if (folder.valid()) {
        ::fchmod(folder.get(), 0700);
        int err = 0;
        for (const QByteArray &child : DirStream::namesIn(folder.get(), err))
            discard(folder.get(), child.constData());
    }
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}
