#pragma once
// The core's facade over the file system and the programs it hands items to. Stateless and
// cheap to make; every operation runs synchronously on the calling thread and throws FileError.

#include "copycontrol.h"
#include "directorylister.h"
#include "fileerror.h"
#include "fileinfo.h"
#include "fileitem.h"
#include "filepath.h"
#include "renamepair.h"
#include "transferoutcome.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class FileSystemService
{
public:
    struct RecursiveScanResult
    {
        QList<FileItem> items;
        bool truncated = false;
    };

    using ShouldContinue = std::function<bool()>;
    using OnBatch = std::function<void(const QList<FileItem> &batch, bool truncated)>;

    // --- listing ---
    // Direct entries of a folder, folders first, each group in the file-browser name order.
    QList<FileItem> listDirectory(const FilePath &url, bool showHidden) const;
    // The same with each name's rank in name order, for views that re-sort the entries; with
    // `firstPage`, the first entries are offered as soon as they are in order, before the rest
    // are ready (see DirectoryLister).
    DirectoryListing readDirectory(const FilePath &url, bool showHidden,
                                   const ListingFirstPage &firstPage = {}) const;

    // --- creating, renaming, copying, moving ---
    FilePath createDirectory(const QString &name, const FilePath &parent) const;
    FilePath createFile(const QString &name, const FilePath &parent) const;
    FilePath rename(const FilePath &url, const QString &newName) const;
    // Copies, moves and duplicates take an optional CopyControl to follow their progress in bytes
    // and to cancel them (FileError with ECANCELED; nothing half-made is left behind).
    FilePath move(const FilePath &url, const FilePath &directory, const CopyControl &control = {}) const;
    FilePath copy(const FilePath &url, const FilePath &directory, const CopyControl &control = {}) const;
    QList<FilePath> collisions(const QList<FilePath> &urls, const FilePath &directory) const;
    QString uniqueDestinationName(const QString &name, const FilePath &directory) const;
    TransferOutcome copy(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                         const CopyControl &control = {}) const;
    TransferOutcome move(const FilePath &url, const FilePath &directory, ConflictResolution resolution,
                         const CopyControl &control = {}) const;
    FilePath duplicate(const FilePath &url, const CopyControl &control = {}) const;

    // --- trash ---
    // Returns where the item now lies in the Trash.
    std::optional<FilePath> moveToTrash(const FilePath &url) const;
    // Puts a trashed item back where it came from; returns its restored location.
    FilePath restoreFromTrash(const FilePath &trashedUrl) const;

    // --- bulk rename ---
    void applyBulkRename(const QList<RenamePair> &pairs) const;

    // --- archives ---
    // Progress in bytes and cancellation inside an item, as for copies.
    void compress(const QList<FilePath> &items, const FilePath &archive, const CopyControl &control = {}) const;
    void unzip(const FilePath &archive, const FilePath &destination, const CopyControl &control = {}) const;

    // --- info ---
    FileInfo info(const FilePath &url) const;
    // The same, or nothing where the item can't be read (gone, no permission).
    std::optional<FileInfo> infoIfReadable(const FilePath &url) const;
    // True for a folder, or a link to one.
    bool isFolder(const FilePath &url) const;
    qint64 directorySize(const FilePath &url, const ShouldContinue &shouldContinue = {}) const;
    std::optional<qint64> volumeAvailableCapacity(const FilePath &url) const;

    // --- recursive walk ---
    static const QSet<QString> &defaultIgnoredDirectoryNames();
    void enumerateRecursively(const FilePath &url, bool showHidden, int limit, int batchSize,
                              const QSet<QString> &ignoredDirectoryNames,
                              const ShouldContinue &shouldContinue, const OnBatch &onBatch) const;
    RecursiveScanResult enumerateRecursively(const FilePath &url, bool showHidden, int limit,
                                             const QSet<QString> &ignoredDirectoryNames,
                                             const ShouldContinue &shouldContinue) const;

    // --- hand-off to other programs (fire and forget, but for a failed open) ---
    // A failure is reported later, on this thread, while `context` lives (Launcher::open).
    void open(const FilePath &url, QObject *context, std::function<void(const FileError &)> onFailure) const;
    void revealInFileManager(const QList<FilePath> &urls) const;
    // Failures likewise (Launcher::openInTerminal).
    void openInTerminal(const FilePath &directory, QObject *context, std::function<void(const FileError &)> onFailure) const;
};
