#include "treeremover.h"

#include "dirstream.h"
#include "filenames.h"
#include "folderchain.h"
#include "posixfs.h"
#include "progressmeter.h"
#include "temporaryname.h"
#include "uniquefd.h"
#include "urls.h"

#include <QFile>

#include <optional>
#include <vector>

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
        throw FileError(operation, errno, path, ErrorNote(ErrorNote::Kind::folderAboveMoved));
    return fd;
}

// Goes through the item `name` of chain.top() and everything under it, without recursion.
// `visit(name, path)` handles one entry of chain.top(), and enters it when it is a folder to go
// through; once all the entries of a folder were visited, the folder is left and
// `leftFolder(place)` runs, with its parent as chain.top() again.
template<typename Visit, typename LeftFolder>
void walk(FolderChain &chain, const char *name, const QString &path, Visit visit, LeftFolder leftFolder)
{
    const std::size_t base = chain.depth();
    visit(name, path);
    while (chain.depth() > base) {
        if (const std::optional<QByteArray> entry = chain.nextEntry()) {
            visit(entry->constData(), Urls::childPath(chain.place().path, FileNames::decode(*entry)));
        } else {
            const FolderChain::Place left = std::move(chain.place());
            chain.leave();
            leftFolder(left);
        }
    }
}

bool isMountPoint(int folder)
{
    struct statx st;
    return ::statx(folder, "", AT_EMPTY_PATH, STATX_TYPE, &st) == 0 && (st.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// Opens the folder `name` of chain.top(), reads its entries and enters it. A volume mounted in
// the tree is no part of it (a share, a phone, a bind mount of another folder): the walk stops
// at its mount point before anything on it is touched.
void enterFolder(FolderChain &chain, const char *name, const QString &path, FileError::Operation operation)
{
    UniqueFd folder(::openat(folderOf(chain, path, operation), name, FolderFlags));
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    if (isMountPoint(folder.get()))
        throw FileError(operation, EBUSY, path, ErrorNote(ErrorNote::Kind::mountPoint));
    int err = 0;
    QList<QByteArray> entries = DirStream::namesIn(folder.get(), err);
    if (err != 0)
        throw FileError::fromErrno(operation, err, path);
    chain.enter(std::move(folder), {name, path, std::move(entries)});
}

// Files and links go with a single unlink; only a folder (EISDIR) is opened and emptied first.
void removeEntry(FolderChain &chain, const char *name, const QString &path, FileError::Operation operation,
                 ProgressMeter &meter)
{
    qint64 removed = 0;
    const auto visit = [&](const char *entry, const QString &entryPath) {
        meter.checkMidFile(entryPath, removed);
        if (::unlinkat(folderOf(chain, entryPath, operation), entry, 0) == 0) {
            ++removed;
            return;
        }
        if (errno != EISDIR)
            throw FileError::fromErrno(operation, errno, entryPath);
        enterFolder(chain, entry, entryPath, operation);
    };
    walk(chain, name, path, visit, [&](const FolderChain::Place &emptied) {
        if (::unlinkat(folderOf(chain, emptied.path, operation), emptied.name.constData(), AT_REMOVEDIR) != 0)
            throw FileError::fromErrno(operation, errno, emptied.path);
        ++removed;
    });
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
                        ErrorNote(ErrorNote::Kind::keptAs,
                                  {Urls::childPath(Urls::parentPath(path), FileNames::decode(hidden))}));
    if (unchanged)
        throw FileError::fromErrno(operation, err, path);
    return false;
}

void removeUnchanged(FolderChain &chain, const char *name, const QString &path, const TreeRemover::Snapshot &snapshot,
                     QStringList &kept, FileError::Operation operation)
{
    std::vector<qsizetype> keptBefore; // for each folder entered
    const auto visit = [&](const char *entry, const QString &entryPath) {
        const int dirFd = folderOf(chain, entryPath, operation);
        struct stat st;
        if (::fstatat(dirFd, entry, &st, AT_SYMLINK_NOFOLLOW) != 0)
            throw FileError::fromErrno(operation, errno, entryPath);
        const auto known = snapshot.constFind({quint64(st.st_dev), quint64(st.st_ino)});
        if (known == snapshot.constEnd() || !known->stillMatches(stampOf(st))) {
            kept.append(entryPath);
        } else if (known->isFolder) {
            enterFolder(chain, entry, entryPath, operation);
            keptBefore.push_back(kept.size());
        } else if (known->lease) {
            if (!removeLeased(dirFd, entry, *known->lease, entryPath, operation))
                kept.append(entryPath);
        } else if (::unlinkat(dirFd, entry, 0) != 0) {
            throw FileError::fromErrno(operation, errno, entryPath);
        }
    };
    // A folder goes only when all it held went.
    walk(chain, name, path, visit, [&](const FolderChain::Place &emptied) {
        const bool keptNothing = kept.size() == keptBefore.back();
        keptBefore.pop_back();
        if (keptNothing && ::unlinkat(folderOf(chain, emptied.path, operation), emptied.name.constData(), AT_REMOVEDIR) != 0)
            throw FileError::fromErrno(operation, errno, emptied.path);
    });
}

// Best effort: what can't be removed stays, without a word.
void discardIn(FolderChain &chain, const char *name)
{
    const auto visit = [&](const char *entry, const QString &) {
        if (::unlinkat(chain.top(), entry, 0) == 0 || errno == ENOENT)
            return;
        // Opened without following links, so a link swapped in since the unlink is never lent
        // our mode; a folder we can't even read is opened up by name (again without following
        // links).
        UniqueFd folder(::openat(chain.top(), entry, FolderFlags));
        if (!folder.valid() && ::fchmodat(chain.top(), entry, 0700, AT_SYMLINK_NOFOLLOW) == 0)
            folder = UniqueFd(::openat(chain.top(), entry, FolderFlags));
        if (!folder.valid()) {
            ::unlinkat(chain.top(), entry, AT_REMOVEDIR);
            return;
        }
        ::fchmod(folder.get(), 0700);
        int err = 0;
        QList<QByteArray> entries = DirStream::namesIn(folder.get(), err);
        chain.enter(std::move(folder), {entry, {}, std::move(entries)});
    };
    walk(chain, name, {}, visit, [&](const FolderChain::Place &emptied) {
        ::unlinkat(chain.top(), emptied.name.constData(), AT_REMOVEDIR);
    });
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

void TreeRemover::removeItem(const QString &path, FileError::Operation operation, const CopyControl &control)
{
    const UniqueFd folder = PosixFs::openParentFolder(path);
    if (!folder.valid())
        throw FileError::fromErrno(operation, errno, path);
    FolderChain chain(folder.get());
    ProgressMeter meter(control, operation);
    removeEntry(chain, FileNames::encode(Urls::fileName(path)).constData(), path, operation, meter);
}

void TreeRemover::discard(int parentFd, const char *name)
{
    FolderChain chain(parentFd);
    discardIn(chain, name);
}

