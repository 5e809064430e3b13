#include "filesystemservice.h"

#include "bulkrenamer.h"
#include "directorylister.h"
#include "iteminspector.h"
#include "launcher.h"
#include "nameconflicts.h"
#include "ziparchiver.h"
#include "zipextractor.h"

// Each group of operations lives in a class of its own; this facade forwards to them.

// --- listing ---

QList<FileItem> FileSystemService::listDirectory(const QUrl &url, bool showHidden) const
{
    return DirectoryLister::list(url, showHidden);
}

// --- creating, renaming, copying, moving ---

QList<QUrl> FileSystemService::collisions(const QList<QUrl> &urls, const QUrl &directory) const
{
    return NameConflicts::collisions(urls, directory);
}

QString FileSystemService::uniqueDestinationName(const QString &name, const QUrl &directory) const
{
    return NameConflicts::uniqueDestinationName(name, directory);
}


// --- trash ---


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


// --- hand-off to other programs ---

void FileSystemService::open(const QUrl &url) const
{
    Launcher::open(url);
}

void FileSystemService::revealInFileManager(const QList<QUrl> &urls) const
{
    Launcher::revealInFileManager(urls);
}

void FileSystemService::openInTerminal(const QUrl &directory) const
{
    Launcher::openInTerminal(directory);
}
