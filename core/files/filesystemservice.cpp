#include "filesystemservice.h"

#include "bulkrenamer.h"
#include "directorylister.h"
#include "iteminspector.h"
#include "itemtransfer.h"
#include "launcher.h"
#include "nameconflicts.h"
#include "trashcan.h"
#include "treewalker.h"
#include "urls.h"
#include "ziparchiver.h"
#include "zipextractor.h"

// Each group of operations lives in a class of its own; this facade forwards to them.

// --- listing ---

QList<FileItem> FileSystemService::listDirectory(const QUrl &url, bool showHidden) const
{
    return DirectoryLister::list(url, showHidden);
}

// --- creating, renaming, copying, moving ---

QUrl FileSystemService::createDirectory(const QString &name, const QUrl &parent) const
{
    return ItemTransfer::createDirectory(name, parent);
}

QUrl FileSystemService::createFile(const QString &name, const QUrl &parent) const
{
    return ItemTransfer::createFile(name, parent);
}

QUrl FileSystemService::rename(const QUrl &url, const QString &newName) const
{
    return ItemTransfer::rename(url, newName);
}

QUrl FileSystemService::move(const QUrl &url, const QUrl &directory, const CopyControl &control) const
{
    return ItemTransfer::move(url, directory, control);
}

QUrl FileSystemService::copy(const QUrl &url, const QUrl &directory, const CopyControl &control) const
{
    return ItemTransfer::copy(url, directory, control);
}

QList<QUrl> FileSystemService::collisions(const QList<QUrl> &urls, const QUrl &directory) const
{
    return NameConflicts::collisions(urls, directory);
}

QString FileSystemService::uniqueDestinationName(const QString &name, const QUrl &directory) const
{
    return NameConflicts::uniqueDestinationName(name, directory);
}

TransferOutcome FileSystemService::copy(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                        const CopyControl &control) const
{
    return ItemTransfer::copy(url, directory, resolution, control);
}

TransferOutcome FileSystemService::move(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                                        const CopyControl &control) const
{
    return ItemTransfer::move(url, directory, resolution, control);
}

QUrl FileSystemService::duplicate(const QUrl &url, const CopyControl &control) const
{
    return ItemTransfer::duplicate(url, control);
}


// --- trash ---

std::optional<QUrl> FileSystemService::moveToTrash(const QUrl &url) const
{
    return Urls::fromPath(TrashCan::moveToTrash(Urls::path(url)));
}

QUrl FileSystemService::restoreFromTrash(const QUrl &trashedUrl) const
{
    return Urls::fromPath(TrashCan::restore(Urls::path(trashedUrl)));
}


// --- bulk rename ---

void FileSystemService::applyBulkRename(const QList<RenamePair> &pairs) const
{
    BulkRenamer::apply(pairs);
}

// --- archives ---

void FileSystemService::compress(const QList<QUrl> &items, const QUrl &archive) const
{
    ZipArchiver::compress(items, archive);
}

void FileSystemService::unzip(const QUrl &archive, const QUrl &destination) const
{
    ZipExtractor::extract(archive, destination);
}

// --- info ---

FileInfo FileSystemService::info(const QUrl &url) const
{
    return ItemInspector::info(url);
}

qint64 FileSystemService::directorySize(const QUrl &url, const ShouldContinue &shouldContinue) const
{
    return ItemInspector::directorySize(url, shouldContinue);
}

std::optional<qint64> FileSystemService::volumeAvailableCapacity(const QUrl &url) const
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

void FileSystemService::enumerateRecursively(const QUrl &url, bool showHidden, int limit, int batchSize,
                                             const QSet<QString> &ignoredDirectoryNames,
                                             const ShouldContinue &shouldContinue,
                                             const OnBatch &onBatch) const
{
    TreeWalker::walk(url, showHidden, limit, batchSize, ignoredDirectoryNames, shouldContinue, onBatch);
}

FileSystemService::RecursiveScanResult
FileSystemService::enumerateRecursively(const QUrl &url, bool showHidden, int limit,
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

void FileSystemService::open(const QUrl &url, QObject *context, std::function<void(const FileError &)> onFailure) const
{
    Launcher::open(url, context, std::move(onFailure));
}

void FileSystemService::revealInFileManager(const QList<QUrl> &urls) const
{
    Launcher::revealInFileManager(urls);
}

void FileSystemService::openInTerminal(const QUrl &directory) const
{
    Launcher::openInTerminal(directory);
}
