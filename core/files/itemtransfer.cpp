#include "itemtransfer.h"

#include "fileerror.h"
#include "filecopier.h"
#include "filenames.h"
#include "nameconflicts.h"
#include "posixfs.h"
#include "temporaryname.h"
#include "trashcan.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;
using Transfer = QString (*)(const QString &source, const QString &target, Op operation, const CopyControl &control,
                             const FileCopier::Retarget &retarget);

bool sameItem(const FilePath &a, const FilePath &b)
{
    struct stat first, second;
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

// A folder itself, not a link to one: links are transferred as links.
bool isRealFolder(const FilePath &path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The item's path with links in its folder resolved, but not a link that is the item itself.
FilePath realPlace(const FilePath &url)
{
    return url.parentDir().resolvingSymlinks().pathAppended(url.fileNameBytes());
}

// Copying a folder into itself would never end; moving it there would cut it off the tree.
void refuseIntoItself(const FilePath &url, const FilePath &directory, Op operation)
{
    if (!isRealFolder(url))
        return;
    if (directory.resolvingSymlinks().isSameOrChildOf(realPlace(url)))
        throw FileError(operation, EINVAL, url.path(), ErrorNote(ErrorNote::Kind::intoItself));
}

// Refuses a taken target before any work: a long copy should not fail only at its very end.
FilePath transferTo(const FilePath &url, const FilePath &target, Op operation, Transfer transfer,
                    const CopyControl &control, const FileCopier::Retarget &retarget = {})
{
    if (PosixFs::occupied(target.path()))
        throw FileError::fromErrno(operation, EEXIST, url.path());
    // The copier may have settled on another free name (keep both, raced by another program).
    return FilePath::fromString(transfer(url.path(), target.path(), operation, control, retarget));
}

// For keep both: the next free name, when the one chosen was taken while the item was copied.
FileCopier::Retarget nextFreeName(const QString &name, const FilePath &directory)
{
    return [name, directory](const QString &) {
        return directory.pathAppended(NameConflicts::uniqueDestinationName(name, directory)).path();
    };
}

// What `replace` may send to the Trash: never the source itself (then there is nothing to do)
// and never a folder that holds the source. Returns where the occupant went, or nothing when
// the occupant is the source itself.
std::optional<QString> trashOccupant(const FilePath &url, const FilePath &target, Op operation)
{
    if (sameItem(url, target))
        return std::nullopt;
    if (isRealFolder(target) && realPlace(url).isSameOrChildOf(realPlace(target)))
        throw FileError(operation, EINVAL, target.path(), ErrorNote(ErrorNote::Kind::holdsReplacement));
    return TrashCan::moveToTrash(target.path());
}

// Puts a replaced occupant back under its name; false when it can't go back (its name was taken
// meanwhile), and then it stays in the Trash.
bool putBack(const QString &trashed)
{
    try {
        TrashCan::restore(trashed);
        return true;
    } catch (const FileError &) {
        return false;
    }
}

TransferOutcome transferResolving(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                  Op operation, Transfer transfer, const CopyControl &control)
{
    refuseIntoItself(url, directory, operation);
    const FilePath target = directory.pathAppended(url.fileNameBytes());
    if (!PosixFs::occupied(target.path()))
        return TransferOutcome::completed(transferTo(url, target, operation, transfer, control));
    switch (resolution) {
    case ConflictResolution::skip:
        return TransferOutcome::skipped();
    case ConflictResolution::keepBoth: {
        const QString name = url.fileName();
        const FilePath free = directory.pathAppended(NameConflicts::uniqueDestinationName(name, directory));
        return TransferOutcome::completed(transferTo(url, free, operation, transfer, control, nextFreeName(name, directory)));
    }
    case ConflictResolution::replace:
        break;
    }
    const std::optional<QString> trashed = trashOccupant(url, target, operation);
    if (!trashed)
        return TransferOutcome::skipped();
    try {
        transfer(url.path(), target.path(), operation, control, {});
    } catch (const FileError &error) {
        // A cancelled copy never placed anything under the name, so the occupant can have it
        // back: the user cancelled the replacing too.
        if (error.code() == ECANCELED && putBack(*trashed))
            throw;
        throw error.withNote(ErrorNote(ErrorNote::Kind::replacedIsInTrash, {*trashed}));
    }
    return TransferOutcome::completed(target);
}

// For file systems that ignore case: "A.txt" is found taken by "a.txt" itself, so the item
// goes through a temporary name. Should the second step fail, it gets its old name back.
void renameThroughTemporary(const QString &source, const QString &target)
{
    const QString temporary = TemporaryName::inFolder(FilePath::fromString(source).parentDir().path(),
                                                      TemporaryName::renamePrefix);
    PosixFs::renameNoReplace(source, temporary, Op::Rename, source);
    try {
        PosixFs::renameNoReplace(temporary, target, Op::Rename, source);
    } catch (const FileError &error) {
        if (PosixFs::renameNoReplaceAt(AT_FDCWD, FileNames::encode(temporary).constData(), AT_FDCWD,
                                       FileNames::encode(source).constData())
            != 0)
            throw error.withNote(ErrorNote(ErrorNote::Kind::nowNamed, {temporary}));
        throw;
    }
}

} // namespace

FilePath ItemTransfer::createDirectory(const QString &name, const FilePath &parent)
{
    NameConflicts::requirePlainName(name, Op::Create, parent.path());
    const FilePath target = parent.pathAppended(name);
    if (::mkdir(target.c_str(), 0777) != 0)
        throw FileError::fromErrno(Op::Create, errno, target.path());
    return target;
}

FilePath ItemTransfer::createFile(const QString &name, const FilePath &parent)
{
    NameConflicts::requirePlainName(name, Op::Create, parent.path());
    const FilePath target = parent.pathAppended(name);
    // Exclusive: a taken name is never truncated, whatever took it and when.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST)
        throw FileError(Op::Create, FileError::WriteFileExists, target.path());
    if (fd < 0)
        throw FileError(Op::Create, FileError::WriteUnknown, target.path(), ErrorNote::systemReason(errno));
    ::close(fd);
    return target;
}

FilePath ItemTransfer::rename(const FilePath &url, const QString &newName)
{
    const QString source = url.path();
    NameConflicts::requirePlainName(newName, Op::Rename, source);
    const FilePath target = url.parentDir().pathAppended(newName);
    const QString targetPath = target.path();
    try {
        PosixFs::renameNoReplace(source, targetPath, Op::Rename);
    } catch (const FileError &error) {
        if (error.code() != EEXIST || url == target || !sameItem(url, target))
            throw;
        renameThroughTemporary(source, targetPath);
    }
    return target;
}

FilePath ItemTransfer::move(const FilePath &url, const FilePath &directory, const CopyControl &control)
{
    refuseIntoItself(url, directory, Op::Move);
    return transferTo(url, directory.pathAppended(url.fileNameBytes()), Op::Move, &FileCopier::move, control);
}

FilePath ItemTransfer::copy(const FilePath &url, const FilePath &directory, const CopyControl &control)
{
    refuseIntoItself(url, directory, Op::Copy);
    return transferTo(url, directory.pathAppended(url.fileNameBytes()), Op::Copy, &FileCopier::copy, control);
}

TransferOutcome ItemTransfer::copy(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                   const CopyControl &control)
{
    return transferResolving(url, directory, resolution, Op::Copy, &FileCopier::copy, control);
}

TransferOutcome ItemTransfer::move(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                   const CopyControl &control)
{
    // Moving into the folder it already is in changes nothing, whatever the resolution.
    if (url.parentDir().resolvingSymlinks() == directory.resolvingSymlinks())
        return TransferOutcome::skipped();
    return transferResolving(url, directory, resolution, Op::Move, &FileCopier::move, control);
}

FilePath ItemTransfer::duplicate(const FilePath &url, const CopyControl &control)
{
    const FilePath folder = url.parentDir();
    const QString name = url.fileName();
    return transferTo(url, folder.pathAppended(NameConflicts::uniqueDestinationName(name, folder)), Op::Copy,
                      &FileCopier::copy, control, nextFreeName(name, folder));
}
