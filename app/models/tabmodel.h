#pragma once
// One tab: the folder it shows and where it has been, the folder's entries as last loaded, the
// selection, the quick filter, the sort order and how the folder and its path are shown.
//
// Loads run in background work, which lists the folder and also sorts and filters the entries
// for the tab's order and filter at the time; only the newest load's result is applied, on the
// main thread. A large folder the tab comes to is shown as soon as its names are in order, its
// sizes and dates following once read (listing()->detailsPending() says which). The entries are a FolderListing, shared with other tabs and columns that show the
// same folder and found the same entries. The sorted and filtered list is kept, so views can read visibleItems() on every
// paint; it is rebuilt only when the entries, the sort order or the filter change. A reload that
// finds the same entries notifies nobody. The tab's DirectoryWatcher reloads it when another
// program changes the folder, and when a missing folder appears again; the load that first reads
// a folder also watches it, since that too waits on the folder's file system. While a filter is
// typed, entries it hides drop out of the selection.

#include "directorywatcher.h"
#include "fileerror.h"
#include "fileitem.h"
#include "folderlisting.h"
#include "futureowner.h"
#include "itemsorter.h"
#include "navigationhistory.h"
#include "pathclipboardservice.h"
#include "pathbarmode.h"
#include "viewmode.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include "filepath.h"
#include <QUuid>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

class TabModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id CONSTANT)
    Q_PROPERTY(FilePath currentUrl READ currentUrl NOTIFY historyChanged)
    Q_PROPERTY(QList<FileItem> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(QList<FileItem> visibleItems READ visibleItems NOTIFY visibleItemsChanged)
    Q_PROPERTY(QSet<FilePath> selection READ selection WRITE setSelection NOTIFY selectionChanged)
    Q_PROPERTY(PathBarMode pathBarMode READ pathBarMode WRITE setPathBarMode NOTIFY pathBarModeChanged)
    Q_PROPERTY(ViewMode viewMode READ viewMode WRITE setViewMode NOTIFY viewModeChanged)
    Q_PROPERTY(QList<FileItem> columnSelection READ columnSelection WRITE setColumnSelection NOTIFY columnSelectionChanged)
    Q_PROPERTY(FilePath columnFocusDirectory READ columnFocusDirectory WRITE setColumnFocusDirectory NOTIFY columnFocusDirectoryChanged)
    Q_PROPERTY(QString filterQuery READ filterQuery WRITE setFilterQuery NOTIFY filterQueryChanged)
    Q_PROPERTY(bool filterActive READ filterActive WRITE setFilterActive NOTIFY filterActiveChanged)
    Q_PROPERTY(QList<SortKey> sortOrder READ sortOrder WRITE setSortOrder NOTIFY sortOrderChanged)
    Q_PROPERTY(bool showHidden READ showHidden WRITE setShowHidden NOTIFY showHiddenChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(int reloadCount READ reloadCount NOTIFY reloadCountChanged)

public:
    static constexpr std::chrono::milliseconds defaultWatchDebounce{150};

    // Starts loading and watching `url` at once: a new tab is loading, with reloadCount 1. With a
    // `fallback`, a `url` that turns out to be no folder is passed over for `fallback`, as if
    // the tab had opened there (its first load looks).
    TabModel(const FilePath &url, bool showHidden, QObject *parent = nullptr,
             std::chrono::milliseconds watchDebounce = defaultWatchDebounce, const FilePath &fallback = {});
    ~TabModel() override;

    QUuid id() const { return m_id; }
    const NavigationHistory &history() const { return m_history; }
    // The folder shown: history().current().
    const FilePath &currentUrl() const { return m_history.current(); }

    // The entries in listing order (folders first, then by name).
    const QList<FileItem> &items() const { return m_listing->items(); }
    // The same entries with what sorting and filtering them needs; shared with every other view
    // of the folder that found the same entries.
    const FolderListing::Shared &listing() const { return m_listing; }
    // items() sorted by sortOrder() (folders first) and filtered by filterQuery().
    const QList<FileItem> &visibleItems() const { return m_visible; }
    // The entries of items() whose URL is selected, in listing order.
    QList<FileItem> selectedItems() const;

    const QSet<FilePath> &selection() const { return m_selection; }
    void setSelection(const QSet<FilePath> &selection);
    PathBarMode pathBarMode() const { return m_pathBarMode; }
    void setPathBarMode(PathBarMode mode);
    void togglePathBarMode();
    ViewMode viewMode() const { return m_viewMode; }
    void setViewMode(ViewMode mode);
    // Written by the column view: the deepest column's selection and the deepest folder shown
    // (empty when none).
    const QList<FileItem> &columnSelection() const { return m_columnSelection; }
    // What the view the tab is shown in has selected: the columns' selection or the list's.
    QList<FileItem> shownSelection() const;
    void setColumnSelection(const QList<FileItem> &items);
    const FilePath &columnFocusDirectory() const { return m_columnFocusDirectory; }
    void setColumnFocusDirectory(const FilePath &url);

    // Why the folder couldn't be read; views word it in the user's language (ErrorText).
    const std::optional<FileError> &loadError() const { return m_loadError; }
    bool hasLoadError() const { return m_loadError.has_value(); }
    const QString &filterQuery() const { return m_filterQuery; }
    void setFilterQuery(const QString &query);
    bool filterActive() const { return m_filterActive; }
    void setFilterActive(bool active);
    const QList<SortKey> &sortOrder() const { return m_sortOrder; }
    void setSortOrder(const QList<SortKey> &order);
    bool showHidden() const { return m_showHidden; }
    // Reloads even when the value is unchanged.
    void setShowHidden(bool show);
    bool isLoading() const { return m_isLoading; }
    int reloadCount() const { return m_reloadCount; }

    // Finishes when the most recent load has been applied (or dropped, when a newer one
    // overtook it, or the tab went away). Views that navigate and then need the new entries
    // wait on it, or on loadFinished().
    QFuture<void> loadTask() const { return m_loadTask; }

    // Shows a folder: records the visit, clears the selection and the filter, reloads and
    // watches the folder.
    void navigate(const FilePath &url);
    // Goes where a typed path or file URL leads (PathClipboardService::resolve, relative to
    // `relativeTo`): into a folder, or to a file's folder with the file selected. Whether it
    // exists is asked off the main thread; typedPathAnswered follows, unless the tab went
    // elsewhere meanwhile.
    void goToTyped(const QString &text, const FilePath &relativeTo);
    // The same for a path given as it is (a command-line argument): nothing in it is unquoted.
    void goToPath(const FilePath &url);
    // Step through the history; the rest is done as navigate() does, also when there was
    // nowhere to go.
    void goBack();
    void goForward();
    // Loads the current folder again; selection and filter stay.
    void reload();

    // One background load's outcome: the listing with the order and the visible entries for the
    // sort order and filter the load began with, or the error message.
    struct LoadResult
    {
        FolderListing::Shared listing; // null when the entries equal the ones the load started from
        QList<qsizetype> order;
        QList<FileItem> visible;
        std::optional<FileError> error;
        // The folder's watch, made before it was read, when the tab asked for one.
        struct Watched
        {
            DirectoryWatcher::Watch watch;
            bool ofAncestor = false; // the folder is missing; a folder above it is watched
        };
        std::optional<Watched> watched;
        FilePath fellBackTo; // the tab's fallback, read because its folder is no folder
    };

Q_SIGNALS:
    void historyChanged();
    void itemsChanged();
    void visibleItemsChanged();
    void selectionChanged();
    void pathBarModeChanged();
    void viewModeChanged();
    void columnSelectionChanged();
    void columnFocusDirectoryChanged();
    void loadErrorChanged();
    void filterQueryChanged();
    void filterActiveChanged();
    void sortOrderChanged();
    void showHiddenChanged();
    void isLoadingChanged();
    void reloadCountChanged();
    // Each time the most recent load has been applied, whether or not anything changed.
    void loadFinished();
    // What goToTyped() or goToPath() found: whether the text named anything.
    void typedPathAnswered(bool found);

private:
    void step(void (NavigationHistory::*move)());
    void goToFound(const QFuture<std::optional<PathClipboardService::Resolution>> &finding);
    void showCurrentFolder();
    void adoptWatch(const LoadResult::Watched &watched);
    void setItems(const LoadResult &result, bool orderOrFilterChanged);
    void resort();
    void refilter();
    void unselectFilteredOut();
    void setLoadError(const std::optional<FileError> &error);
    void setIsLoading(bool loading);
    void setHistory(const NavigationHistory &history);

    const QUuid m_id = QUuid::createUuid();
    NavigationHistory m_history;
    FolderListing::Shared m_listing;
    FilePath m_listedFolder; // the folder m_listing was read from
    FilePath m_fallback;     // until the first load is applied
    QList<qsizetype> m_order;  // positions in items(), in sort order
    QList<FileItem> m_visible; // items() in m_order, filtered
    QSet<FilePath> m_selection;
    PathBarMode m_pathBarMode = PathBarMode::breadcrumb;
    ViewMode m_viewMode = ViewMode::list;
    QList<FileItem> m_columnSelection;
    FilePath m_columnFocusDirectory;
    std::optional<FileError> m_loadError;
    QString m_filterQuery;
    bool m_filterActive = false;
    QList<SortKey> m_sortOrder{SortKey{}};
    bool m_showHidden = false;
    bool m_isLoading = false;
    int m_reloadCount = 0;
    // Raised by every reload: older results are dropped, and older loads still listing stop
    // after the listing.
    std::shared_ptr<std::atomic<quint64>> m_latestLoad = std::make_shared<std::atomic<quint64>>(0);
    QFuture<void> m_loadTask;
    DirectoryWatcher m_watcher;
    bool m_watchingAncestor = false; // the folder is missing; a folder above it is watched
    // Last: its loads are let go of before anything else goes.
    FutureOwner m_tasks{FutureOwner::Teardown::letRunOut};
};
