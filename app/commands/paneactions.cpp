// The pane's command layer. File work goes to the worker as a job whose work sees only copies
// (URLs, names, the destination) and whose result is applied back here on the main thread.

#include "paneactions.h"

#include "appsettings.h"
#include "bulkrename.h"
#include "bytecount.h"
#include "copycontrol.h"
#include "errortext.h"
#include "filejob.h"
#include "filenames.h"
#include "itempaths.h"
#include "iteminfomodel.h"
#include "localization.h"
#include "openwithmenu.h"
#include "panemodel.h"
#include "pathformatter.h"
#include "tabmodel.h"
#include "treeremover.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QPointer>

#include <cerrno>
#include <utility>

namespace {

using Operation = PaneActions::TransferOperation;
using Context = FileJob::Context;

// A folder (not a link to one) and a destination that lies in it or is it, as far as the paths
// tell without asking the disk: the core refuses what links hide, off the main thread.
bool goesIntoItself(const FileItem &item, const FilePath &directory)
{
    return item.isDirectory && !item.isSymbolicLink && directory.cleanPath().isSameOrChildOf(item.url.cleanPath());
}

// Where the job's hold hook (see CopyControl) can keep a step: inside the item, where the core's
// copies, archives and deletions offer it, or before each item after the first, for steps too
// short to be held inside (a trash is one rename).
enum class Hold { insideItems, betweenItems };

// Runs `step` on each URL in order, noting what it made and reporting the items done, until
// the first failure (thrown on) or a cancel. The job's thread.
void eachUntilFailure(const QList<FilePath> &urls, Context &context,
                      const std::function<std::optional<FilePath>(const FilePath &, const CopyControl &)> &step,
                      Hold hold = Hold::insideItems)
{
    const CopyControl control = context.copyControl();
    for (qsizetype i = 0; i < urls.size(); ++i) {
        if (hold == Hold::betweenItems && i > 0 && control.pauseMidFile)
            control.pauseMidFile(urls[i].path(), i, control.shouldContinue);
        if (context.isCanceled())
            return;
        if (const std::optional<FilePath> made = step(urls[i], control))
            context.made(*made);
        context.reportItems(int(i + 1), int(urls.size()));
    }
}

void transferItems(const QList<FilePath> &urls, const FilePath &directory, Operation operation, ConflictResolution resolution,
                   Context &context)
{
    const FileSystemService fs;
    eachUntilFailure(urls, context, [&](const FilePath &url, const CopyControl &control) -> std::optional<FilePath> {
        if (operation == Operation::copy)
            fs.copy(url, directory, resolution, control);
        else
            fs.move(url, directory, resolution, control);
        return std::nullopt;
    });
}

// The texts of a job's progress: by its items, and by its bytes (none for the jobs that
// report none).
std::pair<const QString *, const QString *> progressFormats(PaneActions::JobKind kind, const Localization &loc)
{
    using Kind = PaneActions::JobKind;
    switch (kind) {
    case Kind::copy:
        return {&loc.transferProgressFormat, &loc.copyProgressFormat};
    case Kind::move:
        return {&loc.transferProgressFormat, &loc.moveProgressFormat};
    case Kind::duplicate:
        return {&loc.duplicateCountFormat, &loc.duplicateProgressFormat};
    case Kind::compress:
        return {&loc.compressCountFormat, &loc.compressProgressFormat};
    case Kind::extract:
        return {&loc.extractCountFormat, &loc.extractProgressFormat};
    case Kind::trash:
        return {&loc.trashCountFormat, nullptr};
    case Kind::deletion:
        break;
    }
    return {&loc.deleteCountFormat, nullptr};
}

} // namespace

PaneActions::PaneActions(WorkspaceModel *workspace, PaneModel *pane, AppSettings *settings, DialogPresenter *dialogs,
                         FileJobQueue *jobs, QObject *parent)
    : QObject(parent), m_workspace(workspace), m_pane(pane), m_settings(settings), m_dialogs(dialogs), m_jobs(jobs)
{
}

PaneActions::~PaneActions() = default;

bool PaneActions::isBusy() const
{
    return m_jobs->pendingCount() > 0;
}

// --- state ---

template<typename T>
static bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

void PaneActions::setTransferProgress(const std::optional<TransferProgress> &progress)
{
    if (assign(m_transferProgress, progress))
        Q_EMIT transferProgressChanged();
}

const Localization &PaneActions::texts() const
{
    return Localization::forLanguage(m_settings->language());
}

void PaneActions::showError(const FileError &error)
{
    showError(ErrorText::message(error, texts()));
}

void PaneActions::showError(const QString &message)
{
    m_dialogs->showError(message);
}

FileJob *PaneActions::enqueue(FileJob::Work work)
{
    auto *job = new FileJob(std::move(work));
    job->setPauseMidFile(m_pauseMidFile);
    // Its signals come from the event loop, so the caller connects to them in time.
    m_jobs->enqueue(job);
    return job;
}

// The history moves at once; the file work of the step follows as a job on the window's queue, in
// order with every other job of both panes. Its failure is swallowed as the history's own steps
// are (the items changed meanwhile), and the tabs hear of what it did from their watchers.
std::function<void()> PaneActions::asJob(std::function<void()> action)
{
    return [self = QPointer(this), action = std::move(action)] {
        if (!self)
            return;
        self->enqueue([action](Context &) {
            try {
                action();
            } catch (...) {
                // The step is spent all the same.
            }
        });
    };
}

void PaneActions::recordReversible(std::function<void()> forward, std::function<void()> inverse)
{
    if (UndoCoordinator *undo = m_workspace->undo())
        undo->registerReversible(asJob(std::move(forward)), asJob(std::move(inverse)));
}

void PaneActions::recordUndoOnly(std::function<void()> undo)
{
    if (UndoCoordinator *history = m_workspace->undo())
        history->registerUndoOnly(asJob(std::move(undo)));
}

// A job that will record a step holds the history until it is gone, its step recorded or not.
void PaneActions::holdHistoryUntilDone(FileJob *job)
{
    if (UndoCoordinator *history = m_workspace->undo()) {
        history->hold();
        connect(job, &QObject::destroyed, history, &UndoCoordinator::release);
    }
}

// --- transfers ---

void PaneActions::paste(const FilePath &directory)
{
    const std::optional<FileClipboard> source = m_workspace->effectivePasteSource();
    if (!source || source->urls.isEmpty())
        return;
    const bool move = source->operation == ClipboardOperation::move;
    requestTransfer(fileItems(source->urls), directory, move ? TransferOperation::move : TransferOperation::copy);
    if (move)
        m_workspace->setClipboard(std::nullopt);
}

void PaneActions::requestTransfer(const QList<FileItem> &items, const FilePath &directory, TransferOperation operation)
{
    if (items.isEmpty())
        return;
    for (const FileItem &item : items) {
        if (goesIntoItself(item, directory)) {
            const QString &format = operation == TransferOperation::copy ? texts().copyIntoItselfFormat
                                                                         : texts().moveIntoItselfFormat;
            showError(Localization::fill(format, {item.name}));
            return;
        }
    }
    performTransfer(items, directory, operation, std::nullopt);
}

void PaneActions::performTransfer(const QList<FileItem> &items, const FilePath &directory, TransferOperation operation,
                                  std::optional<ConflictResolution> resolution)
{
    const QList<FilePath> urls = urlsOf(items);
    const int total = int(urls.size());
    // Names taken are looked up by the job, so a folder that doesn't answer holds the queue and
    // not the window, and the answer is as of when the jobs before it are done.
    auto taken = std::make_shared<bool>(false);
    FileJob *job = enqueue([urls, directory, operation, resolution, taken](Context &context) {
        if (!resolution && !FileSystemService().collisions(urls, directory).isEmpty()) {
            *taken = true;
            return;
        }
        transferItems(urls, directory, operation, resolution.value_or(ConflictResolution::keepBoth), context);
    });
    track(job, total, operation == TransferOperation::copy ? JobKind::copy : JobKind::move);
    // What the transfer changes: the destination, and for a move the folders it empties.
    QSet<FilePath> changed{directory};
    if (operation == TransferOperation::move)
        for (const FilePath &url : urls)
            changed.insert(url.parentDir());
    connect(job, &FileJob::finished, this, [this, job, changed, taken, items, directory, operation] {
        if (!*taken) {
            transferEnded(job, changed);
            return;
        }
        // Nothing moved before the answer; a prompt closed without one abandons the transfer.
        m_dialogs->askCollision([self = QPointer(this), items, directory, operation](std::optional<ConflictResolution> answer) {
            if (self && answer)
                self->performTransfer(items, directory, operation, *answer);
        });
    });
}

// The row's own view of a job: it hears of the job's progress only while the job is the
// oldest tracked one, and of its end first, before the job's other listeners answer it.
void PaneActions::track(FileJob *job, int total, JobKind kind)
{
    m_tracked.append({job, total, kind});
    // Applies `change` to transferProgress while `job` is the one it describes.
    const auto whileShown = [this, job](auto change) {
        return [this, job, change](auto done, auto total) {
            if (m_tracked.isEmpty() || m_tracked.first().job != job || !m_transferProgress)
                return;
            TransferProgress progress = *m_transferProgress;
            change(progress, done, total);
            setTransferProgress(progress);
        };
    };
    connect(job, &FileJob::itemProgress, this, whileShown([](TransferProgress &progress, int done, int total) {
        progress.done = done;
        progress.total = total;
        // The bytes of a finished item are spent; those of a whole archive go on.
        if (!progress.bytesCoverJob())
            progress.bytesDone = progress.bytesTotal = 0;
    }));
    connect(job, &FileJob::byteProgress, this, whileShown([](TransferProgress &progress, qint64 done, qint64 total) {
        progress.bytesDone = done;
        progress.bytesTotal = total;
    }));
    connect(job, &FileJob::finished, this, [this, job] { untrack(job); });
    if (m_tracked.size() == 1)
        showFirstTracked();
}

void PaneActions::untrack(const FileJob *job)
{
    const bool wasShown = !m_tracked.isEmpty() && m_tracked.first().job == job;
    m_tracked.removeIf([job](const TrackedJob &tracked) { return tracked.job == job; });
    if (wasShown)
        showFirstTracked();
}

void PaneActions::showFirstTracked()
{
    if (m_tracked.isEmpty())
        setTransferProgress(std::nullopt);
    else
        setTransferProgress(TransferProgress{0, m_tracked.first().total, 0, 0, m_tracked.first().kind});
}

// The panes showing a folder the transfer changed show the change at once; other tabs on such a
// folder hear of it from their watchers, as they would of any other program's change.
void PaneActions::transferEnded(const FileJob *job, const QSet<FilePath> &changedFolders)
{
    if (const std::optional<FileError> &error = job->error())
        showError(*error);
    for (PaneModel *pane : m_workspace->panes())
        if (changedFolders.contains(pane->activeTab()->currentUrl()))
            pane->activeTab()->reload();
}

double PaneActions::TransferProgress::fraction() const
{
    const double bytes = bytesTotal > 0 ? qMin(double(bytesDone) / double(bytesTotal), 1.0) : 0.0;
    if (bytesCoverJob() && bytesTotal > 0)
        return bytes;
    if (total <= 0)
        return bytes;
    // Within one large file the bar follows its bytes, so it keeps moving between items.
    return qMin(done + bytes, double(total)) / total;
}

QString PaneActions::progressText(const TransferProgress &progress, const Localization &loc)
{
    const auto [byItems, byBytes] = progressFormats(progress.kind, loc);
    if (!byBytes || progress.bytesTotal <= 0 || progress.done >= progress.total)
        return Localization::fill(*byItems, {QString::number(progress.done), QString::number(progress.total)});
    return Localization::fill(*byBytes, {QString::number(progress.done + 1), QString::number(progress.total),
                                         ByteCount::text(progress.bytesDone), ByteCount::text(progress.bytesTotal)});
}

void PaneActions::cancelShownJob()
{
    if (!m_tracked.isEmpty())
        m_tracked.first().job->cancel();
}

PaneModel *PaneActions::otherPane() const
{
    for (PaneModel *pane : m_workspace->panes()) {
        if (pane->id() != m_pane->id())
            return pane;
    }
    return nullptr;
}

void PaneActions::copyToOtherPane(const QList<FileItem> &items)
{
    if (PaneModel *other = otherPane())
        requestTransfer(items, other->activeTab()->history().current(), TransferOperation::copy);
}

void PaneActions::moveToOtherPane(const QList<FileItem> &items)
{
    if (PaneModel *other = otherPane())
        requestTransfer(items, other->activeTab()->history().current(), TransferOperation::move);
}

// --- drops ---

QList<FilePath> PaneActions::resolveDropSources(const QList<FilePath> &urls)
{
    const QList<FilePath> dragged = m_workspace->draggingURLs();
    m_workspace->setDraggingURLs({});
    if (dragged.isEmpty() || urls.isEmpty())
        return urls;
    QSet<FilePath> draggedPlaces;
    for (const FilePath &url : dragged)
        draggedPlaces.insert(url.cleanPath());
    for (const FilePath &url : urls) {
        if (!draggedPlaces.contains(url.cleanPath()))
            return urls;
    }
    return dragged;
}

QList<FileItem> PaneActions::fileItems(const QList<FilePath> &urls) const
{
    QList<FileItem> items;
    items.reserve(urls.size());
    for (const FilePath &url : urls) {
        std::optional<FileItem> listed;
        for (PaneModel *pane : m_workspace->panes()) {
            for (const FileItem &item : pane->activeTab()->items()) {
                if (item.url == url) {
                    listed = item;
                    break;
                }
            }
            if (listed)
                break;
        }
        if (!listed) {
            // Not listed anywhere (pasted from another program): only what the transfer needs;
            // whether it is a folder the transfer finds out on the worker.
            listed = FileItem(url, url.displayName(), false, 0, QDateTime::fromSecsSinceEpoch(0, Qt::UTC), false);
        }
        items.append(*listed);
    }
    return items;
}

PaneActions::TransferOperation PaneActions::dropOperation(Qt::KeyboardModifiers modifiers)
{
    // Shift forces a move even with Ctrl held.
    const bool copy = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::ShiftModifier);
    return copy ? PaneActions::TransferOperation::copy : PaneActions::TransferOperation::move;
}

void PaneActions::handleDrop(const QList<FilePath> &urls, const FilePath &directory, Qt::KeyboardModifiers modifiers)
{
    const FilePath target = directory.cleanPath();
    QList<FileItem> kept;
    for (const FileItem &item : fileItems(resolveDropSources(urls))) {
        if (item.url.parentDir().cleanPath() != target)
            kept.append(item);
    }
    if (!kept.isEmpty())
        requestTransfer(kept, directory, dropOperation(modifiers));
}

void PaneActions::handleDropIntoFolder(const QList<FilePath> &urls, const FileItem &folder, TabModel *,
                                       Qt::KeyboardModifiers modifiers)
{
    const FilePath target = folder.url.cleanPath();
    QList<FileItem> kept;
    for (const FileItem &item : fileItems(resolveDropSources(urls))) {
        if (item.url.cleanPath() != target && item.url.parentDir().cleanPath() != target)
            kept.append(item);
    }
    if (!kept.isEmpty())
        requestTransfer(kept, folder.url, dropOperation(modifiers));
}

// --- item commands ---

void PaneActions::requestRename(const FileItem &item, TabModel *tab)
{
    m_dialogs->askRename(item, [self = QPointer(this), item, tab = QPointer(tab)](const QString &name,
                                                                                 const DialogPresenter::RenameDone &done) {
        if (self)
            self->rename(item, name, tab, done);
        else
            done(true);
    });
}

void PaneActions::rename(const FileItem &item, const QString &text, TabModel *tab, const DialogPresenter::RenameDone &done)
{
    // The field shows a name that isn't valid text with U+FFFD in place of its odd bytes; left
    // as it was, it must not write those characters over the bytes on disk.
    if (text == item.name) {
        done(true);
        return;
    }
    // Spaces and tabs only: a line break in a name is the user's business.
    qsizetype first = 0;
    qsizetype last = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (first < last && blank(text.at(first)))
        ++first;
    while (last > first && blank(text.at(last - 1)))
        --last;
    const QString newName = text.mid(first, last - first);
    const FilePath original = item.url;
    FileJob *job = enqueue([original, newName](Context &context) { context.made(FileSystemService().rename(original, newName)); });
    holdHistoryUntilDone(job);
    connect(job, &FileJob::finished, this, [this, job, original, newName, tab = QPointer<TabModel>(tab), done] {
        if (job->error())
            showError(*job->error());
        if (job->madeUrls().isEmpty()) {
            done(false);
            return;
        }
        const FilePath renamed = job->madeUrls().first();
        // The renamed item stays selected, so the next command acts on it.
        if (tab && tab->selection().contains(original))
            tab->setSelection((tab->selection() - QSet<FilePath>{original}) + QSet<FilePath>{renamed});
        if (tab)
            tab->reload();
        // The coordinator swallows the failures of both (the item changed meanwhile).
        recordReversible([original, newName] { FileSystemService().rename(original, newName); },
                         [renamed, oldName = original.fileName()] { FileSystemService().rename(renamed, oldName); });
        done(true);
    });
}

void PaneActions::openFile(const FilePath &url)
{
    m_fs.open(url, this, [this](const FileError &error) { showError(error); });
}

void PaneActions::requestTrash(const QList<FileItem> &items, TabModel *tab)
{
    if (items.isEmpty())
        return;
    if (!m_settings->confirmBeforeTrash()) {
        trash(items, tab);
        return;
    }
    confirmThen(DialogPresenter::Confirmation::trash, items, tab, &PaneActions::trash);
}

// `act` runs once the user agrees, if this pane is still there.
void PaneActions::confirmThen(DialogPresenter::Confirmation kind, const QList<FileItem> &items, TabModel *tab,
                              void (PaneActions::*act)(const QList<FileItem> &, TabModel *))
{
    m_dialogs->confirm(kind, int(items.size()), [self = QPointer(this), items, tab = QPointer(tab), act] {
        if (self)
            (self->*act)(items, tab);
    });
}

void PaneActions::trash(const QList<FileItem> &items, TabModel *tab)
{
    const QList<FilePath> urls = urlsOf(items);
    runItemJob(tab, JobKind::trash, int(urls.size()), [urls](Context &context) {
        eachUntilFailure(urls, context, [](const FilePath &url, const CopyControl &) {
            return FileSystemService().moveToTrash(url);
        }, Hold::betweenItems);
    }, [this](const QList<FilePath> &trashed) {
        // Items already trashed get their undo even when a later one failed. Restoring never
        // replaces: an item whose place was taken meanwhile stays in the Trash.
        recordUndoOnly([trashed] {
            for (const FilePath &place : trashed) {
                try { FileSystemService().restoreFromTrash(place); } catch (const FileError &) {}
            }
        });
    });
}

void PaneActions::requestPermanentDelete(const QList<FileItem> &items, TabModel *tab)
{
    if (items.isEmpty())
        return;
    confirmThen(DialogPresenter::Confirmation::permanentDelete, items, tab, &PaneActions::deletePermanently);
}

void PaneActions::deletePermanently(const QList<FileItem> &items, TabModel *tab)
{
    const QList<FilePath> urls = urlsOf(items);
    runItemJob(tab, JobKind::deletion, int(urls.size()), [urls](Context &context) {
        eachUntilFailure(urls, context, [](const FilePath &url, const CopyControl &control) -> std::optional<FilePath> {
            TreeRemover::removeItem(url.path(), FileError::Operation::Delete, control);
            return std::nullopt;
        });
    }, {});
}

void PaneActions::duplicate(const QList<FileItem> &items, TabModel *tab)
{
    const QList<FilePath> urls = urlsOf(items);
    runItemJob(tab, JobKind::duplicate, int(urls.size()), [urls](Context &context) {
        eachUntilFailure(urls, context, [](const FilePath &url, const CopyControl &control) {
            return std::optional<FilePath>(FileSystemService().duplicate(url, control));
        });
    }, [this](const QList<FilePath> &copies) {
        recordUndoOnly([copies] {
            for (const FilePath &copy : copies) {
                try { FileSystemService().moveToTrash(copy); } catch (const FileError &) {}
            }
        });
    });
}

FileJob *PaneActions::createItem(NewItem kind, const QString &name, const FilePath &folder)
{
    FileJob *job = enqueue([kind, name, folder](Context &context) {
        const FileSystemService fs;
        context.made(kind == NewItem::folder ? fs.createDirectory(name, folder) : fs.createFile(name, folder));
    });
    holdHistoryUntilDone(job);
    connect(job, &FileJob::finished, this, [this, job] {
        if (job->madeUrls().isEmpty())
            return;
        recordUndoOnly([created = job->madeUrls().first()] {
            try {
                FileSystemService().moveToTrash(created);
            } catch (const FileError &) {
                // An undo that finds the item gone or changed does nothing.
            }
        });
    });
    return job;
}

QString PaneActions::archiveBaseName(const QList<FileItem> &items)
{
    if (items.size() != 1)
        return QStringLiteral("Archive.zip");
    return FileNames::splitExtension(items.first().url.fileName()).first + QStringLiteral(".zip");
}

void PaneActions::compress(const QList<FileItem> &items, TabModel *tab)
{
    if (items.isEmpty())
        return;
    const QList<FilePath> urls = urlsOf(items);
    const FilePath folder = tab->history().current();
    const QString baseName = archiveBaseName(items);
    const int total = int(urls.size());
    runItemJob(tab, JobKind::compress, total, [urls, folder, baseName, total](Context &context) {
        const FilePath archive = folder.pathAppended(FileSystemService().uniqueDestinationName(baseName, folder));
        CopyControl control = context.copyControl();
        control.onItemDone = [&context, total](int done) { context.reportItems(done, total); };
        FileSystemService().compress(urls, archive, control);
    }, {});
}

void PaneActions::extract(const FileItem &item, TabModel *tab)
{
    const FilePath archive = item.url;
    const FilePath folder = tab->history().current();
    runItemJob(tab, JobKind::extract, 1, [archive, folder](Context &context) {
        FileSystemService().unzip(archive, folder, context.copyControl());
        context.reportItems(1, 1);
    }, {});
}

void PaneActions::runItemJob(TabModel *tab, JobKind kind, int total, FileJob::Work work,
                             std::function<void(const QList<FilePath> &)> onDone)
{
    FileJob *job = enqueue(std::move(work));
    if (onDone)
        holdHistoryUntilDone(job);
    track(job, total, kind);
    connect(job, &FileJob::finished, this, [this, job, reloaded = QPointer<TabModel>(tab), onDone = std::move(onDone)] {
        if (onDone && !job->madeUrls().isEmpty())
            onDone(job->madeUrls());
        if (job->error())
            showError(*job->error());
        if (reloaded)
            reloaded->reload();
    });
}

void PaneActions::copyPaths(const QList<FileItem> &items)
{
    // Command-line tools and tests run without a GUI application, and so without a clipboard.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setText(PathFormatter::joinForShell(urlsOf(items)));
}

void PaneActions::revealInFileManager(const QList<FileItem> &items)
{
    m_fs.revealInFileManager(urlsOf(items));
}

void PaneActions::openWith(const QList<FileItem> &items, const DesktopEntry &application)
{
    OpenWithMenu::open(items, application, this, [this, name = application.name] {
        showError(Localization::fill(texts().launchFailedFormat, {name}));
    });
}

ContextMenuEntry PaneActions::openWithMenu(const QList<FileItem> &items)
{
    const Localization &loc = texts();
    return OpenWithMenu::entry(
        items, ApplicationRegistry::fromEnvironment({loc.languageCode}), loc, this,
        [this](const QString &message) { showError(message); }, [this, items] { m_onChooseApplication(items); });
}

// --- dialogs ---

void PaneActions::requestInfo(const FileItem &item)
{
    m_dialogs->showInfo(item.url);
}

void PaneActions::requestPreview(const FileItem &item)
{
    m_dialogs->showPreview(item.url);
}

void PaneActions::requestBulkRename(const QList<FileItem> &items)
{
    m_dialogs->showBulkRename(items, [self = QPointer(this)](const QList<RenamePair> &pairs) {
        if (self)
            self->applyBulkRename(pairs);
    });
}

void PaneActions::applyBulkRename(const QList<RenamePair> &pairs)
{
    FileJob *job = enqueue([pairs](Context &) { FileSystemService().applyBulkRename(pairs); });
    holdHistoryUntilDone(job);
    connect(job, &FileJob::finished, this, [this, job, pairs, reloaded = QPointer<TabModel>(m_pane->activeTab())] {
        if (job->error())
            showError(*job->error());
        else
            registerBulkRenameUndo(pairs);
        if (reloaded)
            reloaded->reload();
    });
}

void PaneActions::registerBulkRenameUndo(const QList<RenamePair> &pairs)
{
    QList<RenamePair> inverse;
    inverse.reserve(pairs.size());
    for (const RenamePair &pair : pairs)
        inverse.append({pair.url.parentDir().pathAppended(pair.newName), pair.url.fileName()});
    const auto applying = [](const QList<RenamePair> &list) {
        return [list] { FileSystemService().applyBulkRename(list); };
    };
    recordReversible(applying(pairs), applying(inverse));
}
