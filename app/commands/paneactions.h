#pragma once
// The command layer of one pane: every user command that changes files or opens a dialog goes
// through here, and the state of those dialogs lives here for the views to show.
//
// File work never runs on the main thread: transfers, trash, duplicate, archives, bulk renames
// and permanent deletion are FileJobs of the pane's queue, run one at a time in the order they
// were asked for; their results (errors, reloads, undo steps) are applied back here when each
// job finishes. Only
// the rename of one item, a single system call whose failure must keep its dialog open, runs
// synchronously.

#include "contextmenuentry.h"
#include "copycontrol.h"
#include "fileerror.h"
#include "filejob.h"
#include "filejobqueue.h"
#include "fileitem.h"
#include "filesystemservice.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include "filepath.h"
#include <QUuid>

#include <functional>
#include <optional>

class AppSettings;
class DesktopEntry;
class Localization;
class PaneModel;
class TabModel;
class WorkspaceModel;

class PaneActions : public QObject
{
    Q_OBJECT

public:
    enum class TransferOperation { copy, move };
    Q_ENUM(TransferOperation)

    // A transfer held back until the user answers the name-collision prompt.
    struct PendingTransfer
    {
        QUuid id = QUuid::createUuid();
        QList<FileItem> items;
        FilePath destinationURL;
        TransferOperation operation = TransferOperation::copy;
        friend bool operator==(const PendingTransfer &, const PendingTransfer &) = default;
    };
    struct PreviewItem
    {
        QUuid id = QUuid::createUuid();
        FilePath url;
        friend bool operator==(const PreviewItem &, const PreviewItem &) = default;
    };
    struct RenameBatch
    {
        QUuid id = QUuid::createUuid();
        QList<FileItem> items;
        friend bool operator==(const RenameBatch &, const RenameBatch &) = default;
    };
    struct InfoTarget
    {
        QUuid id = QUuid::createUuid();
        FilePath url;
        friend bool operator==(const InfoTarget &, const InfoTarget &) = default;
    };
    // Progress of the running transfer: items done of the total, and the bytes of the item in
    // progress (both 0 while none is being copied, e.g. for a move within one file system).
    struct TransferProgress
    {
        int done = 0;
        int total = 0;
        qint64 bytesDone = 0;
        qint64 bytesTotal = 0;
        TransferOperation operation = TransferOperation::copy;
        friend bool operator==(const TransferProgress &, const TransferProgress &) = default;
    };

private:
    Q_PROPERTY(std::optional<FileItem> renameTarget READ renameTarget NOTIFY renameTargetChanged)
    Q_PROPERTY(QString renameText READ renameText WRITE setRenameText NOTIFY renameTextChanged)
    Q_PROPERTY(std::optional<QString> errorMessage READ errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(std::optional<PaneActions::PendingTransfer> pendingTransfer READ pendingTransfer NOTIFY pendingTransferChanged)
    Q_PROPERTY(std::optional<PaneActions::PreviewItem> preview READ preview NOTIFY previewChanged)
    Q_PROPERTY(std::optional<PaneActions::RenameBatch> renameBatch READ renameBatch NOTIFY renameBatchChanged)
    Q_PROPERTY(std::optional<PaneActions::InfoTarget> infoTarget READ infoTarget NOTIFY infoTargetChanged)
    Q_PROPERTY(std::optional<QList<FileItem>> pendingTrash READ pendingTrash NOTIFY pendingTrashChanged)
    Q_PROPERTY(std::optional<QList<FileItem>> pendingPermanentDelete READ pendingPermanentDelete NOTIFY pendingPermanentDeleteChanged)
    Q_PROPERTY(std::optional<PaneActions::TransferProgress> transferProgress READ transferProgress NOTIFY transferProgressChanged)
    Q_PROPERTY(bool isBusy READ isBusy NOTIFY isBusyChanged)

public:
    PaneActions(WorkspaceModel *workspace, PaneModel *pane, AppSettings *settings, QObject *parent = nullptr);
    ~PaneActions() override;

    WorkspaceModel *workspace() const { return m_workspace; }
    PaneModel *pane() const { return m_pane; }
    AppSettings *settings() const { return m_settings; }

    const std::optional<FileItem> &renameTarget() const { return m_renameTarget; }
    const QString &renameText() const { return m_renameText; }
    void setRenameText(const QString &text);
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    const std::optional<PendingTransfer> &pendingTransfer() const { return m_pendingTransfer; }
    const std::optional<PreviewItem> &preview() const { return m_preview; }
    const std::optional<RenameBatch> &renameBatch() const { return m_renameBatch; }
    const std::optional<InfoTarget> &infoTarget() const { return m_infoTarget; }
    const std::optional<QList<FileItem>> &pendingTrash() const { return m_pendingTrash; }
    const std::optional<QList<FileItem>> &pendingPermanentDelete() const { return m_pendingPermanentDelete; }
    const std::optional<TransferProgress> &transferProgress() const { return m_transferProgress; }
    // True while any file job of this pane is queued or running (transfers and the rest); the
    // window asks before closing while it is.
    bool isBusy() const;

    // How a new folder or file is asked for: the pane view sets them to open its name prompts.
    void setOnNewFolder(std::function<void()> action) { m_onNewFolder = std::move(action); }
    void setOnNewFile(std::function<void()> action) { m_onNewFile = std::move(action); }
    void requestNewFolder() { m_onNewFolder(); }
    void requestNewFile() { m_onNewFile(); }
    // What "Other Application…" of the Open With submenu does with the items; the pane view
    // sets it to ask which application.
    void setOnChooseApplication(std::function<void(const QList<FileItem> &)> action)
    {
        m_onChooseApplication = std::move(action);
    }
    // Starts `application` with the items; a failure to start it is shown as an error.
    void openWith(const QList<FileItem> &items, const DesktopEntry &application);
    // The Open With submenu for the items, in the interface's language.
    ContextMenuEntry openWithMenu(const QList<FileItem> &items);

    // --- transfers ---
    void paste(const FilePath &directory);
    void requestTransfer(const QList<FileItem> &items, const FilePath &directory, TransferOperation operation);
    void performTransfer(const QList<FileItem> &items, const FilePath &directory, TransferOperation operation,
                         ConflictResolution resolution);
    // The collision prompt's buttons, and its dismissal (which abandons the transfer).
    void resolvePendingTransfer(ConflictResolution resolution);
    void dismissPendingTransfer();
    // Stops every file job of this pane now (transfers, archives, deletions, …), the item in
    // progress included; what is done stays.
    void cancelTransfer();
    // The pane the other-pane commands go to: the first whose id differs from ours.
    PaneModel *otherPane() const;
    void copyToOtherPane(const QList<FileItem> &items);
    void moveToOtherPane(const QList<FileItem> &items);

    // --- drops ---
    // `modifiers` are those of the drop event: Ctrl copies, Shift forces a move, none moves.
    // What a drop does with these keys held: Ctrl copies, anything else moves, Shift always.
    static TransferOperation dropOperation(Qt::KeyboardModifiers modifiers);
    void handleDrop(const QList<FilePath> &urls, const FilePath &directory, Qt::KeyboardModifiers modifiers);
    void handleDropIntoFolder(const QList<FilePath> &urls, const FileItem &folder, TabModel *tab,
                              Qt::KeyboardModifiers modifiers);
    QList<FilePath> resolveDropSources(const QList<FilePath> &urls);
    QList<FileItem> fileItems(const QList<FilePath> &urls) const;

    // --- item commands ---
    void requestRename(const FileItem &item);
    void cancelRename();
    // Renames renameTarget to the trimmed renameText; on failure the dialog stays open.
    void performRename(const FileItem &item, TabModel *tab);
    // The menu's trash entry: asks first when the settings say so, else trashes at once.
    void requestTrash(const QList<FileItem> &items, TabModel *tab);
    void confirmTrash(TabModel *tab);
    void cancelTrash();
    void trash(const QList<FileItem> &items, TabModel *tab);
    // Permanent deletion only ever happens through this confirmation.
    void requestPermanentDelete(const QList<FileItem> &items);
    void confirmPermanentDelete(TabModel *tab);
    void cancelPermanentDelete();
    void duplicate(const QList<FileItem> &items, TabModel *tab);
    void compress(const QList<FileItem> &items, TabModel *tab);
    void extract(const FileItem &item, TabModel *tab);
    void copyPaths(const QList<FileItem> &items);
    void revealInFileManager(const QList<FileItem> &items);
    // Hands a file to its default application; a failure to open it becomes the pane's error.
    void openFile(const FilePath &url);

    // --- dialogs ---
    void requestInfo(const FileItem &item);
    void closeInfo();
    void requestPreview(const FileItem &item);
    void closePreview();
    void requestBulkRename(const QList<FileItem> &items);
    // The bulk rename sheet's close action: forgets the batch and reloads the tab.
    void closeBulkRename(TabModel *tab);
    void applyBulkRename(const QList<RenamePair> &pairs);
    void clearError();

    // The progress row's text: the items, and the bytes of the item while one is being copied.
    static QString progressText(const TransferProgress &progress, const Localization &loc);

    // The archive name compress() starts from: "<name without extension>.zip" for one item,
    // "Archive.zip" for any other number.
    static QString archiveBaseName(const QList<FileItem> &items);

    // Handed to every transfer started from now on (see CopyControl): lets a test hold a copy
    // inside a file, deterministically, while it cancels or closes the pane.
    void setPauseMidFile(CopyControl::PauseMidFile pause) { m_pauseMidFile = std::move(pause); }

    // The queue, for tests that wait for the file jobs.
    FileJobQueue *jobs() { return &m_jobs; }

Q_SIGNALS:
    void renameTargetChanged();
    void renameTextChanged();
    void errorMessageChanged();
    void pendingTransferChanged();
    void previewChanged();
    void renameBatchChanged();
    void infoTargetChanged();
    void pendingTrashChanged();
    void pendingPermanentDeleteChanged();
    void transferProgressChanged();
    void isBusyChanged();

private:
    const Localization &texts() const;
    void showError(const FileError &error);
    // Queues `work` as a job of this pane; connect to it at once.
    FileJob *enqueue(FileJob::Work work);
    void transferEnded(const FileJob *job);
    // Runs `work` as a job; once it finished, hands what it made to `onDone` (for the undo step,
    // even after a failure), shows its error and reloads the tab if it still exists.
    void runItemJob(TabModel *tab, FileJob::Work work, std::function<void(const QList<FilePath> &)> onDone);
    void registerBulkRenameUndo(const QList<RenamePair> &pairs);
    void recordReversible(std::function<void()> forward, std::function<void()> inverse);
    void recordUndoOnly(std::function<void()> undo);
    void setRenameTarget(const std::optional<FileItem> &target);
    void setErrorMessage(const std::optional<QString> &message);
    void setPendingTransfer(const std::optional<PendingTransfer> &transfer);
    void setPreview(const std::optional<PreviewItem> &preview);
    void setRenameBatch(const std::optional<RenameBatch> &batch);
    void setInfoTarget(const std::optional<InfoTarget> &target);
    void setPendingTrash(const std::optional<QList<FileItem>> &items);
    void setPendingPermanentDelete(const std::optional<QList<FileItem>> &items);
    void setTransferProgress(const std::optional<TransferProgress> &progress);

    WorkspaceModel *m_workspace;
    PaneModel *m_pane;
    AppSettings *m_settings;
    FileSystemService m_fs;

    std::optional<FileItem> m_renameTarget;
    QString m_renameText;
    std::optional<QString> m_errorMessage;
    std::optional<PendingTransfer> m_pendingTransfer;
    std::optional<PreviewItem> m_preview;
    std::optional<RenameBatch> m_renameBatch;
    std::optional<InfoTarget> m_infoTarget;
    std::optional<QList<FileItem>> m_pendingTrash;
    std::optional<QList<FileItem>> m_pendingPermanentDelete;
    std::optional<TransferProgress> m_transferProgress;
    // Transfer jobs not yet finished, oldest first, with their item totals and operations; the
    // oldest is the one running, and the one transferProgress describes.
    struct QueuedTransfer
    {
        const FileJob *job;
        int total;
        TransferOperation operation;
    };
    QList<QueuedTransfer> m_transfers;
    bool m_busy = false;
    CopyControl::PauseMidFile m_pauseMidFile;
    std::function<void()> m_onNewFolder = [] {};
    std::function<void()> m_onNewFile = [] {};
    std::function<void(const QList<FileItem> &)> m_onChooseApplication = [](const QList<FileItem> &) {};
    // Last: it cancels its jobs and waits for the running one before anything else goes.
    FileJobQueue m_jobs;
};
