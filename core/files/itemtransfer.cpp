#include "itemtransfer.h"

#include "fileerror.h"
#include "filecopier.h"
#include "filenames.h"
#include "nameconflicts.h"
#include "posixfs.h"
#include "temporaryname.h"
#include "trashcan.h"
#include "urls.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;
using Transfer = QString (*)(const QString &source, const QString &target, Op operation, const CopyControl &control,
                             const FileCopier::Retarget &retarget);

bool sameItem(const QString &a, const QString &b)
{
    struct stat first, second;
    return ::lstat(FileNames::encode(a).constData(), &first) == 0 && ::lstat(FileNames::encode(b).constData(), &second) == 0
           && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A folder itself, not a link to one: links are transferred as links.
bool isRealFolder(const QString &path)
{
    struct stat st;
    return ::lstat(FileNames::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The item's path with links in its folder resolved, but not a link that is the item itself.
QString realPlace(const QUrl &url)
{
    const QUrl folder = Urls::resolvingSymlinks(Urls::deletingLastPathComponent(url));
    return Urls::path(Urls::appending(folder, Urls::lastPathComponent(url)));
}

// Copying a folder into itself would never end; moving it there would cut it off the tree.
void refuseIntoItself(const QUrl &url, const QUrl &directory, Op operation)
{
    if (!isRealFolder(Urls::path(url)))
        return;
    if (Urls::isSameOrInside(Urls::path(Urls::resolvingSymlinks(directory)), realPlace(url)))
        throw FileError(operation, EINVAL, Urls::path(url), QStringLiteral("a folder can't be put inside itself"));
}

FileError withNote(const FileError &error, const QString &note)
{
    const QString detail = error.detail().isEmpty() ? note : error.detail() + QStringLiteral("; ") + note;
    return FileError(error.operation(), error.code(), error.path(), detail);
}

// Refuses a taken target before any work: a long copy should not fail only at its very end.
QUrl transferTo(const QUrl &url, const QUrl &target, Op operation, Transfer transfer, const CopyControl &control,
                const FileCopier::Retarget &retarget = {})
{
    if (PosixFs::occupied(Urls::path(target)))
        throw FileError::fromErrno(operation, EEXIST, Urls::path(url));
    const QString placed = transfer(Urls::path(url), Urls::path(target), operation, control, retarget);
    return Urls::appending(Urls::deletingLastPathComponent(target), Urls::fileName(placed));
}

// For keep both: the next free name, when the one chosen was taken while the item was copied.
FileCopier::Retarget nextFreeName(const QString &name, const QUrl &directory)
{
    return [name, directory](const QString &) {
        return Urls::path(Urls::appending(directory, NameConflicts::uniqueDestinationName(name, directory)));
    };
}

// What `replace` may send to the Trash: never the source itself (then there is nothing to do)
// and never a folder that holds the source. Returns where the occupant went, or nothing when
// the occupant is the source itself.
std::optional<QString> trashOccupant(const QUrl &url, const QUrl &target, Op operation)
{
    const QString occupant = Urls::path(target);
    if (sameItem(Urls::path(url), occupant))
        return std::nullopt;
    if (isRealFolder(occupant) && Urls::isSameOrInside(realPlace(url), realPlace(target)))
        throw FileError(operation, EINVAL, occupant, QStringLiteral("it holds the item that was to replace it"));
    return TrashCan::moveToTrash(occupant);
}

TransferOutcome transferResolving(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                  Op operation, Transfer transfer, const CopyControl &control)
{
    refuseIntoItself(url, directory, operation);
    const QString name = Urls::lastPathComponent(url);
    const QUrl target = Urls::appending(directory, name);
    if (!PosixFs::occupied(Urls::path(target)))
        return TransferOutcome::completed(transferTo(url, target, operation, transfer, control));
    switch (resolution) {
    case ConflictResolution::skip:
        return TransferOutcome::skipped();
    case ConflictResolution::keepBoth: {
        const QUrl free = Urls::appending(directory, NameConflicts::uniqueDestinationName(name, directory));
        return TransferOutcome::completed(transferTo(url, free, operation, transfer, control, nextFreeName(name, directory)));
    }
    case ConflictResolution::replace:
        break;
    }
    const std::optional<QString> trashed = trashOccupant(url, target, operation);
    if (!trashed)
        return TransferOutcome::skipped();
    try {
        transfer(Urls::path(url), Urls::path(target), operation, control, {});
    } catch (const FileError &error) {
        throw withNote(error, QStringLiteral("the item it was to replace is in the Trash at “%1”").arg(*trashed));
    }
    return TransferOutcome::completed(target);
}

// For file systems that ignore case: "A.txt" is found taken by "a.txt" itself, so the item
// goes through a temporary name. Should the second step fail, it gets its old name back.
void renameThroughTemporary(const QString &source, const QString &target)
{
    const QString temporary = TemporaryName::inFolder(Urls::parentPath(source), TemporaryName::renamePrefix);
    PosixFs::renameNoReplace(source, temporary, Op::Rename, source);
    try {
        PosixFs::renameNoReplace(temporary, target, Op::Rename, source);
    } catch (const FileError &error) {
        if (PosixFs::renameNoReplaceAt(AT_FDCWD, FileNames::encode(temporary).constData(), AT_FDCWD,
                                       FileNames::encode(source).constData())
            != 0)
            throw withNote(error, QStringLiteral("it is now named “%1”").arg(temporary));
        throw;
    }
}

} // namespace

QUrl ItemTransfer::createDirectory(const QString &name, const QUrl &parent)
{
    NameConflicts::requirePlainName(name, Op::Create, Urls::path(parent));
    const QUrl target = Urls::appending(parent, name);
    if (::mkdir(Urls::encodedPath(target).constData(), 0777) != 0)
        throw FileError::fromErrno(Op::Create, errno, Urls::path(target));
    return target;
}

QUrl ItemTransfer::createFile(const QString &name, const QUrl &parent)
{
    NameConflicts::requirePlainName(name, Op::Create, Urls::path(parent));
    const QUrl target = Urls::appending(parent, name);
    const QString path = Urls::path(target);
    if (PosixFs::occupied(path))
        throw FileError(Op::Create, FileError::WriteFileExists, path);
    // Exclusive: a file that appeared since the test above is never truncated.
    const int fd = ::open(FileNames::encode(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST)
        throw FileError(Op::Create, FileError::WriteFileExists, path);
    if (fd < 0)
        throw FileError(Op::Create, FileError::WriteUnknown, path, FileError::errnoText(errno));
    ::close(fd);
    return target;
}

QUrl ItemTransfer::rename(const QUrl &url, const QString &newName)
{
    const QString source = Urls::path(url);
    NameConflicts::requirePlainName(newName, Op::Rename, source);
    const QUrl target = Urls::appending(Urls::deletingLastPathComponent(url), newName);
    const QString targetPath = Urls::path(target);
    try {
        PosixFs::renameNoReplace(source, targetPath, Op::Rename);
    } catch (const FileError &error) {
        if (error.code() != EEXIST || source == targetPath || !sameItem(source, targetPath))
            throw;
        renameThroughTemporary(source, targetPath);
    }
    return target;
}

QUrl ItemTransfer::move(const QUrl &url, const QUrl &directory, const CopyControl &control)
{
    refuseIntoItself(url, directory, Op::Move);
    return transferTo(url, Urls::appending(directory, Urls::lastPathComponent(url)), Op::Move, &FileCopier::move,
                      control);
}

QUrl ItemTransfer::copy(const QUrl &url, const QUrl &directory, const CopyControl &control)
{
    refuseIntoItself(url, directory, Op::Copy);
    return transferTo(url, Urls::appending(directory, Urls::lastPathComponent(url)), Op::Copy, &FileCopier::copy,
                      control);
}

TransferOutcome ItemTransfer::copy(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                   const CopyControl &control)
{
    return transferResolving(url, directory, resolution, Op::Copy, &FileCopier::copy, control);
}

TransferOutcome ItemTransfer::move(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                   const CopyControl &control)
{
    // Moving into the folder it already is in changes nothing, whatever the resolution.
    if (Urls::path(Urls::resolvingSymlinks(Urls::deletingLastPathComponent(url)))
        == Urls::path(Urls::resolvingSymlinks(directory)))
        return TransferOutcome::skipped();
    return transferResolving(url, directory, resolution, Op::Move, &FileCopier::move, control);
}

QUrl ItemTransfer::duplicate(const QUrl &url, const CopyControl &control)
{
    const QUrl folder = Urls::deletingLastPathComponent(url);
    const QString name = NameConflicts::uniqueDestinationName(Urls::lastPathComponent(url), folder);
    return transferTo(url, Urls::appending(folder, name), Op::Copy, &FileCopier::copy, control,
                      nextFreeName(Urls::lastPathComponent(url), folder));
}
