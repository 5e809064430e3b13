#include "treeremover.h"

#include "dirstream.h"
#include "filenames.h"
#include "folderchain.h"
#include "posixfs.h"
#include "temporaryname.h"
#include "uniquefd.h"
#include "urls.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The folder the walk is in; one that was moved away while the walk was below it is not
// followed.
int folderOf(const FolderChain &chain, const QString &path, FileError::Operation operation)
{
    const int fd = chain.top();
    if (fd < 0 && fd != AT_FDCWD)
        throw FileError(operation, errno, path, QStringLiteral("a folder above it was moved meanwhile"));
    return fd;
}

// Enters the folder `name` inside chain.top() and calls `visit(childName, childPath)` for each
// entry, with the folder as chain.top().
template<typename Visit>
void forEachChild(FolderChain &chain, const char *name, const QString &path, FileError::Operation operation,
                  Visit visit)
{
    UniqueFd folder(::openat(folderOf(chain, path, operation), name, FolderFlags));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    int err = 0;
    const QList<QByteArray> names = DirStream::namesIn(folder.get(), err);
    if (err != 0)
        throw FileError::fromErrno(operation, err, path);
    const FolderChain::Level level(chain, std::move(folder));
    for (const QByteArray &child : names)
        visit(child.constData(), Urls::childPath(path, FileNames::decode(child)));
}

// Files and links go with a single unlink; only a folder (EISDIR) is opened and emptied first.
void removeEntry(FolderChain &chain, const char *name, const QString &path, FileError::Operation operation,
                 const std::function<bool()> &shouldContinue)
{
    if (shouldContinue && !shouldContinue())
        throw FileError(operation, ECANCELED, path);
    if (::unlinkat(folderOf(chain, path, operation), name, 0) == 0)
        return;
    if (errno != EISDIR)
        throw FileError::fromErrno(operation, errno, path);
    forEachChild(chain, name, path, operation, [&](const char *child, const QString &childPath) {
        removeEntry(chain, child, childPath, operation, shouldContinue);
    });
    if (::unlinkat(folderOf(chain, path, operation), name, AT_REMOVEDIR) != 0)
        throw FileError::fromErrno(operation, errno, path);
}

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

TreeRemover::Stamp stampOf(const struct stat &st)
{
    const bool folder = S_ISDIR(st.st_mode);
    // A folder's own size and times change whenever its entries do; its entries are compared.
    if (folder)
        return {0, 0, 0, true, false, {}};
    return {qint64(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim), false, st.st_nlink > 1, {}};
}

// A leased file leaves its name before its lease is looked at for the last time: from then on
// no program can open it by that name, so a writer is either seen here or never reaches it.
// Looked at before that, a writer coming just after the look could be let in by the kernel
// (once it has waited the lease-break time) and write to a file that is then deleted.
// False, with the file back under its name, when a writer has come.
bool removeLeased(int dirFd, const char *name, ReadLease &lease, const QString &path, FileError::Operation operation)
{
    const QByteArray hidden = FileNames::encode(TemporaryName::make(TemporaryName::removePrefix));
    if (const int err = PosixFs::renameNoReplaceAt(dirFd, name, dirFd, hidden.constData()))
        throw FileError::fromErrno(operation, err, path);
    const bool unchanged = lease.intact();
    if (unchanged && ::unlinkat(dirFd, hidden.constData(), 0) == 0)
        return true;
    const int err = errno;
    if (PosixFs::renameNoReplaceAt(dirFd, hidden.constData(), dirFd, name) != 0)
        throw FileError(operation, EBUSY, path,
                        QStringLiteral("it could not be given its name back and is kept as “%1”")
                            .arg(Urls::childPath(Urls::parentPath(path), FileNames::decode(hidden))));
    if (unchanged)
        throw FileError::fromErrno(operation, err, path);
    return false;
}

void removeUnchanged(FolderChain &chain, const char *name, const QString &path, const TreeRemover::Snapshot &snapshot,
                     QStringList &kept, FileError::Operation operation)
{
    const int dirFd = folderOf(chain, path, operation);
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        throw FileError::fromErrno(operation, errno, path);
    const auto known = snapshot.constFind({quint64(st.st_dev), quint64(st.st_ino)});
    if (known == snapshot.constEnd() || !known->stillMatches(stampOf(st))) {
        kept.append(path);
        return;
    }
    if (!known->isFolder) {
        if (known->lease) {
            if (!removeLeased(dirFd, name, *known->lease, path, operation))
                kept.append(path);
        } else if (::unlinkat(dirFd, name, 0) != 0) {
            throw FileError::fromErrno(operation, errno, path);
        }
        return;
    }
    const qsizetype keptBefore = kept.size();
    forEachChild(chain, name, path, operation, [&](const char *child, const QString &childPath) {
        removeUnchanged(chain, child, childPath, snapshot, kept, operation);
    });
    if (kept.size() == keptBefore && ::unlinkat(folderOf(chain, path, operation), name, AT_REMOVEDIR) != 0)
        throw FileError::fromErrno(operation, errno, path);
}

// Best effort: what can't be removed stays, without a word.
void discardIn(FolderChain &chain, const char *name)
{
    if (::unlinkat(chain.top(), name, 0) == 0 || errno == ENOENT)
        return;
    // Opened without following links, so a link swapped in since the unlink is never lent our
    // mode; a folder we can't even read is opened up by name (again without following links).
    UniqueFd folder(::openat(chain.top(), name, FolderFlags));
    if (!folder.valid() && ::fchmodat(chain.top(), name, 0700, AT_SYMLINK_NOFOLLOW) == 0)
        folder = UniqueFd(::openat(chain.top(), name, FolderFlags));
    if (folder.valid()) {
        ::fchmod(folder.get(), 0700);
        int err = 0;
        const QList<QByteArray> names = DirStream::namesIn(folder.get(), err);
        const FolderChain::Level level(chain, std::move(folder));
        for (const QByteArray &child : names)
            discardIn(chain, child.constData());
    }
    ::unlinkat(chain.top(), name, AT_REMOVEDIR);
}

} // namespace

bool TreeRemover::Stamp::stillMatches(const Stamp &now) const
{
    if (isFolder || now.isFolder)
        return isFolder == now.isFolder;
    if (lease && !lease->intact())
        return false;
    return size == now.size && modifiedNs == now.modifiedNs && (hasOtherNames || changedNs == now.changedNs);
}

void TreeRemover::record(Snapshot &snapshot, const struct stat &st, std::shared_ptr<ReadLease> lease)
{
    Stamp stamp = stampOf(st);
    stamp.lease = std::move(lease);
    snapshot.insert({quint64(st.st_dev), quint64(st.st_ino)}, stamp);
}

void TreeRemover::releaseBroken(const Snapshot &snapshot)
{
    for (const Stamp &stamp : snapshot)
        if (stamp.lease)
            stamp.lease->intact();
}

QStringList TreeRemover::removeCopied(const QString &path, const Snapshot &snapshot, FileError::Operation operation)
{
    const UniqueFd folder = PosixFs::openParentFolder(path);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    QStringList kept;
    FolderChain chain(folder.get());
    removeUnchanged(chain, FileNames::encode(Urls::fileName(path)).constData(), path, snapshot, kept, operation);
    return kept;
}

void TreeRemover::removeItem(const QString &path, FileError::Operation operation,
                             const std::function<bool()> &shouldContinue)
{
    const UniqueFd folder = PosixFs::openParentFolder(path);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    FolderChain chain(folder.get());
    removeEntry(chain, FileNames::encode(Urls::fileName(path)).constData(), path, operation, shouldContinue);
}

void TreeRemover::discard(int parentFd, const char *name)
{
    FolderChain chain(parentFd);
    discardIn(chain, name);
}

