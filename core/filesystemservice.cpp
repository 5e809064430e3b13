#include "filesystemservice.h"

#include "directorylister.h"
#include "nameconflicts.h"
#include "treewalker.h"

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


// --- archives ---


// --- info ---


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

