#pragma once
// The core's facade over the file system and the programs it hands items to. Stateless and
// cheap to make; every operation runs synchronously on the calling thread and throws FileError.

#include "copycontrol.h"
#include "fileerror.h"
#include "fileinfo.h"
#include "fileitem.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

enum class ConflictResolution { replace, keepBoth, skip };

// The result of one transfer under a ConflictResolution.
class TransferOutcome
{
public:
    static TransferOutcome completed(QUrl url) { return TransferOutcome(std::move(url)); }
    static TransferOutcome skipped() { return TransferOutcome(); }

    bool isCompleted() const { return m_completed; }
    bool isSkipped() const { return !m_completed; }
    const QUrl &url() const { return m_url; } // empty when skipped

    friend bool operator==(const TransferOutcome &, const TransferOutcome &) = default;

private:
    TransferOutcome() = default;
    explicit TransferOutcome(QUrl url) : m_completed(true), m_url(std::move(url)) {}
    bool m_completed = false;
    QUrl m_url;
};

// One planned rename of a bulk rename: the item under its current name, and its final name.
struct RenamePair
{
    QUrl url;
    QString newName;
    friend bool operator==(const RenamePair &, const RenamePair &) = default;
};

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
    QList<FileItem> listDirectory(const QUrl &url, bool showHidden) const;

    // --- creating, renaming, copying, moving ---
    QUrl createDirectory(const QString &name, const QUrl &parent) const;
    QUrl createFile(const QString &name, const QUrl &parent) const;
    QUrl rename(const QUrl &url, const QString &newName) const;
    // Copies, moves and duplicates take an optional CopyControl to follow their progress in bytes
    // and to cancel them (FileError with ECANCELED; nothing half-made is left behind).
    QUrl move(const QUrl &url, const QUrl &directory, const CopyControl &control = {}) const;
    QUrl copy(const QUrl &url, const QUrl &directory, const CopyControl &control = {}) const;
    QList<QUrl> collisions(const QList<QUrl> &urls, const QUrl &directory) const;
    QString uniqueDestinationName(const QString &name, const QUrl &directory) const;
    TransferOutcome copy(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                         const CopyControl &control = {}) const;
    TransferOutcome move(const QUrl &url, const QUrl &directory, ConflictResolution resolution,
                         const CopyControl &control = {}) const;
    QUrl duplicate(const QUrl &url, const CopyControl &control = {}) const;

    // --- trash ---
    // Returns where the item now lies in the Trash.
    std::optional<QUrl> moveToTrash(const QUrl &url) const;
    // Puts a trashed item back where it came from; returns its restored location.
    QUrl restoreFromTrash(const QUrl &trashedUrl) const;

    // --- bulk rename ---
    void applyBulkRename(const QList<RenamePair> &pairs) const;

    // --- archives ---
    void compress(const QList<QUrl> &items, const QUrl &archive) const;
    void unzip(const QUrl &archive, const QUrl &destination) const;

    // --- info ---
    FileInfo info(const QUrl &url) const;
    qint64 directorySize(const QUrl &url, const ShouldContinue &shouldContinue = {}) const;
    std::optional<qint64> volumeAvailableCapacity(const QUrl &url) const;

    // --- recursive walk ---
    static const QSet<QString> &defaultIgnoredDirectoryNames();
    void enumerateRecursively(const QUrl &url, bool showHidden, int limit, int batchSize,
                              const QSet<QString> &ignoredDirectoryNames,
                              const ShouldContinue &shouldContinue, const OnBatch &onBatch) const;
    RecursiveScanResult enumerateRecursively(const QUrl &url, bool showHidden, int limit,
                                             const QSet<QString> &ignoredDirectoryNames,
                                             const ShouldContinue &shouldContinue) const;

    // --- hand-off to other programs (fire and forget, but for a failed open) ---
    // A failure is reported later, on this thread, while `context` lives (Launcher::open).
    void open(const QUrl &url, QObject *context, std::function<void(const FileError &)> onFailure) const;
    void revealInFileManager(const QList<QUrl> &urls) const;
    void openInTerminal(const QUrl &directory) const;
};
