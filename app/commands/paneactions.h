#pragma once
// The command layer of one pane: every user command that changes files or opens a dialog goes
// through here; the dialogs themselves are the presenter's, which hands their answers back.
//
// File work never runs on the main thread: transfers and the name check before them, trash,
// duplicate, archives, renames, new folders and files and permanent deletion are FileJobs of
// the pane's queue, run one at a time in the order they
// were asked for; their results (errors, reloads, undo steps) are applied back here when each
// job finishes.

#include "contextmenuentry.h"
#include "copycontrol.h"
#include "dialogpresenter.h"
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
    enum class NewItem { folder, file };

    // What a file job the progress row can show does.
    enum class JobKind { copy, move, duplicate, compress, extract, trash, deletion };

    // Progress of the file job the row shows: items done of the total, and bytes (both 0 while
    // none are reported: a move within one file system, a trash, a deletion). Copies, moves and
    // duplicates count the bytes of the item in progress, archives those of the whole job.
    struct TransferProgress
    {
        int done = 0;
        int total = 0;
        qint64 bytesDone = 0;
        qint64 bytesTotal = 0;
        JobKind kind = JobKind::copy;
        bool bytesCoverJob() const { return kind == JobKind::compress || kind == JobKind::extract; }
        // The share of the job done, from 0 to 1.
        double fraction() const;
        friend bool operator==(const TransferProgress &, const TransferProgress &) = default;
    };

private:
    Q_PROPERTY(std::optional<PaneActions::TransferProgress> transferProgress READ transferProgress NOTIFY transferProgressChanged)

public:
    // `dialogs` shows what the commands ask and tell, for as long as this object lives. `jobs` is
    // the window's queue, shared with the other pane, so that the jobs of both panes and the
    // steps of the one history run in the order they were asked for and never on the same
    // files at once.
    PaneActions(WorkspaceModel *workspace, PaneModel *pane, AppSettings *settings, DialogPresenter *dialogs,
                FileJobQueue *jobs, QObject *parent = nullptr);
    ~PaneActions() override;

    WorkspaceModel *workspace() const { return m_workspace; }
    PaneModel *pane() const { return m_pane; }
    AppSettings *settings() const { return m_settings; }

    const std::optional<TransferProgress> &transferProgress() const { return m_transferProgress; }
    // True while any file job of the window is queued or running (transfers and the rest, from
    // either pane): until then a new job waits its turn.
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
    // Without a resolution, a name taken in `directory` stops the job before it moves anything,
    // and the user is asked how to go on.
    void performTransfer(const QList<FileItem> &items, const FilePath &directory, TransferOperation operation,
                         std::optional<ConflictResolution> resolution);
    // Stops the job transferProgress describes, inside its item; those queued after it still run.
    void cancelShownJob();
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
    // Asks for the item's new name; the renamed item stays selected in `tab`.
    void requestRename(const FileItem &item, TabModel *tab);
    // The menu's trash entry: asks first when the settings say so, else trashes at once.
    void requestTrash(const QList<FileItem> &items, TabModel *tab);
    void trash(const QList<FileItem> &items, TabModel *tab);
    // Permanent deletion only ever happens through this confirmation.
    void requestPermanentDelete(const QList<FileItem> &items, TabModel *tab);
    void duplicate(const QList<FileItem> &items, TabModel *tab);
    // Makes a new folder or empty file `name` in `folder` as a job of this pane, undone by
    // trashing it; the caller connects to the job at once and reads its error when it finished.
    FileJob *createItem(NewItem kind, const QString &name, const FilePath &folder);
    void compress(const QList<FileItem> &items, TabModel *tab);
    void extract(const FileItem &item, TabModel *tab);
    void copyPaths(const QList<FileItem> &items);
    void revealInFileManager(const QList<FileItem> &items);
    // Hands a file to its default application; a failure to open it becomes the pane's error.
    void openFile(const FilePath &url);

    // --- dialogs ---
    void requestInfo(const FileItem &item);
    void requestPreview(const FileItem &item);
    void requestBulkRename(const QList<FileItem> &items);
    void applyBulkRename(const QList<RenamePair> &pairs);

    // The progress row's text: what the job does, its items, and its bytes while it reports them.
    static QString progressText(const TransferProgress &progress, const Localization &loc);

    // The archive name compress() starts from: "<name without extension>.zip" for one item,
    // "Archive.zip" for any other number.
    static QString archiveBaseName(const QList<FileItem> &items);

    // Handed to every job started from now on (see CopyControl): lets a test hold a copy, an
    // archive or a deletion inside its item (a trash between items), deterministically, while it
    // cancels or closes the pane.
    void setPauseMidFile(CopyControl::PauseMidFile pause) { m_pauseMidFile = std::move(pause); }

    // The queue, for tests that wait for the file jobs.
    FileJobQueue *jobs() { return m_jobs; }

Q_SIGNALS:
    void transferProgressChanged();

private:
    const Localization &texts() const;
    void showError(const FileError &error);
    void showError(const QString &message);
    // Renames the item to `text` without its outer spaces and tabs, as a job; tells `done` once
    // it finished whether it did (the failure shown when not).
    void rename(const FileItem &item, const QString &text, TabModel *tab, const DialogPresenter::RenameDone &done);
    void deletePermanently(const QList<FileItem> &items, TabModel *tab);
    void confirmThen(DialogPresenter::Confirmation kind, const QList<FileItem> &items, TabModel *tab,
                     void (PaneActions::*act)(const QList<FileItem> &, TabModel *));
    // Queues `work` as a job of this pane; connect to it at once.
    FileJob *enqueue(FileJob::Work work);
    void transferEnded(const FileJob *job, const QSet<FilePath> &changedFolders);
    // transferProgress follows the tracked jobs in queue order, from queueing to finish.
    void track(FileJob *job, int total, JobKind kind);
    void untrack(const FileJob *job);
    void showFirstTracked();
    // Runs `work` as a job; once it finished, hands what it made to `onDone` (for the undo step,
    // even after a failure), shows its error and reloads the tab if it still exists.
    void runItemJob(TabModel *tab, JobKind kind, int total, FileJob::Work work,
                    std::function<void(const QList<FilePath> &)> onDone);
    void registerBulkRenameUndo(const QList<RenamePair> &pairs);
    // Undo steps whose actions run as jobs of this pane (nothing once the pane is gone).
    std::function<void()> asJob(std::function<void()> action);
    void recordReversible(std::function<void()> forward, std::function<void()> inverse);
    void recordUndoOnly(std::function<void()> undo);
    void holdHistoryUntilDone(FileJob *job);
    void setTransferProgress(const std::optional<TransferProgress> &progress);

    WorkspaceModel *m_workspace;
    PaneModel *m_pane;
    AppSettings *m_settings;
    DialogPresenter *m_dialogs;
    FileSystemService m_fs;

    std::optional<TransferProgress> m_transferProgress;
    // Jobs of the progress row not yet finished, oldest first, with their item totals; the
    // oldest is the one transferProgress describes.
    struct TrackedJob
    {
        FileJob *job;
        int total;
        JobKind kind;
    };
    QList<TrackedJob> m_tracked;
    CopyControl::PauseMidFile m_pauseMidFile;
    std::function<void()> m_onNewFolder = [] {};
    std::function<void()> m_onNewFile = [] {};
    std::function<void(const QList<FileItem> &)> m_onChooseApplication = [](const QList<FileItem> &) {};
    FileJobQueue *m_jobs;
};
