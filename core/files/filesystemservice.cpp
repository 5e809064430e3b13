#include "filesystemservice.h"

#include "bulkrenamer.h"
#include "directorylister.h"
#include "iteminspector.h"
#include "itemtransfer.h"
#include "launcher.h"
#include "nameconflicts.h"
#include "trashcan.h"
#include "treewalker.h"
#include "ziparchiver.h"
#include "zipextractor.h"

#include <sys/stat.h>

// Each group of operations lives in a class of its own; this facade forwards to them.

// --- listing ---

QList<FileItem> FileSystemService::listDirectory(const FilePath &url, bool showHidden) const
{
    return DirectoryLister::list(url, showHidden).items;
}

DirectoryListing FileSystemService::readDirectory(const FilePath &url, bool showHidden,
                                                  const ListingFirstPage &firstPage) const
{
    return DirectoryLister::list(url, showHidden, firstPage);
}

// --- creating, renaming, copying, moving ---

FilePath FileSystemService::createDirectory(const QString &name, const FilePath &parent) const
{
    return ItemTransfer::createDirectory(name, parent);
}

FilePath FileSystemService::createFile(const QString &name, const FilePath &parent) const
{
    return ItemTransfer::createFile(name, parent);
}

FilePath FileSystemService::rename(const FilePath &url, const QString &newName) const
{
    return ItemTransfer::rename(url, newName);
}

FilePath FileSystemService::move(const FilePath &url, const FilePath &directory, const CopyControl &control) const
{
    return ItemTransfer::move(url, directory, control);
}

FilePath FileSystemService::copy(const FilePath &url, const FilePath &directory, const CopyControl &control) const
{
    return ItemTransfer::copy(url, directory, control);
}

QList<FilePath> FileSystemService::collisions(const QList<FilePath> &urls, const FilePath &directory) const
{
    return NameConflicts::collisions(urls, directory);
}

QString FileSystemService::uniqueDestinationName(const QString &name, const FilePath &directory) const
{
    return NameConflicts::uniqueDestinationName(name, directory);
}

TransferOutcome FileSystemService::copy(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                        const CopyControl &control) const
{
    return ItemTransfer::copy(url, directory, resolution, control);
}

TransferOutcome FileSystemService::move(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                                        const CopyControl &control) const
{
    return ItemTransfer::move(url, directory, resolution, control);
}

FilePath FileSystemService::duplicate(const FilePath &url, const CopyControl &control) const
{
    return ItemTransfer::duplicate(url, control);
}


// --- trash ---

std::optional<FilePath> FileSystemService::moveToTrash(const FilePath &url) const
{
    return FilePath::fromString(TrashCan::moveToTrash(url.path()));
}

FilePath FileSystemService::restoreFromTrash(const FilePath &trashedUrl) const
{
    return FilePath::fromString(TrashCan::restore(trashedUrl.path()));
}


// --- bulk rename ---

void FileSystemService::applyBulkRename(const QList<RenamePair> &pairs) const
{
    BulkRenamer::apply(pairs);
}

// --- archives ---

void FileSystemService::compress(const QList<FilePath> &items, const FilePath &archive, const CopyControl &control) const
{
    ZipArchiver::compress(items, archive, control);
}

void FileSystemService::unzip(const FilePath &archive, const FilePath &destination, const CopyControl &control) const
{
    ZipExtractor::extract(archive, destination, control);
}

// --- info ---

FileInfo FileSystemService::info(const FilePath &url) const
{
    return ItemInspector::info(url);
}

std::optional<FileInfo> FileSystemService::infoIfReadable(const FilePath &url) const
{
    try {
        return ItemInspector::info(url);
    } catch (const FileError &) {
        return std::nullopt;
    }
}

bool FileSystemService::isFolder(const FilePath &url) const
{
    struct stat st;
    return !url.isEmpty() && ::stat(url.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

qint64 FileSystemService::directorySize(const FilePath &url, const ShouldContinue &shouldContinue) const
{
    return ItemInspector::directorySize(url, shouldContinue);
}

std::optional<qint64> FileSystemService::volumeAvailableCapacity(const FilePath &url) const
{
    return ItemInspector::volumeAvailableCapacity(url);
}

// --- recursive walk ---

const QSet<QString> &FileSystemService::defaultIgnoredDirectoryNames()
{
    static const QSet<QString> names{
        QStringLiteral("Library"), QStringLiteral("node_modules"), QStringLiteral("Pods"),
        QStringLiteral("DerivedData"), QStringLiteral("Caches"), QStringLiteral("__pycache__"),
    };
    return names;
}

void FileSystemService::enumerateRecursively(const FilePath &url, bool showHidden, int limit, int batchSize,
                                             const QSet<QString> &ignoredDirectoryNames,
                                             const ShouldContinue &shouldContinue,
                                             const OnBatch &onBatch) const
{
    TreeWalker::walk(url, showHidden, limit, batchSize, ignoredDirectoryNames, shouldContinue, onBatch);
}

FileSystemService::RecursiveScanResult
FileSystemService::enumerateRecursively(const FilePath &url, bool showHidden, int limit,
                                        const QSet<QString> &ignoredDirectoryNames,
                                        const ShouldContinue &shouldContinue) const
{
    RecursiveScanResult result;
    TreeWalker::walk(url, showHidden, limit, limit, ignoredDirectoryNames, shouldContinue,
                     [&result](const QList<FileItem> &batch, bool truncated) {
                         result.items.append(batch);
                         result.truncated = result.truncated || truncated;
                     });
    return result;
}


// --- hand-off to other programs ---

void FileSystemService::open(const FilePath &url, QObject *context, std::function<void(const FileError &)> onFailure) const
{
    Launcher::open(url, context, std::move(onFailure));
}

void FileSystemService::revealInFileManager(const QList<FilePath> &urls) const
{
    Launcher::revealInFileManager(urls);
}

void FileSystemService::openInTerminal(const FilePath &directory, QObject *context,
                                       std::function<void(const FileError &)> onFailure) const
{
    Launcher::openInTerminal(directory, context, std::move(onFailure));
}
