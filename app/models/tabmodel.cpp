#include "tabmodel.h"

#include "directorylister.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "itemfilter.h"
#include "pathclipboardservice.h"

#include <QPromise>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>


namespace {

// The entries at `order`, those whose folded names contain the query. The listing comes in the
// default order already, so without a filter the list is usually the entries themselves, shared
// rather than copied.
QList<FileItem> visibleOf(const FolderListing &listing, const QList<qsizetype> &order, const QString &query)
{
    const QByteArray wanted = ItemFilter::needle(query).toUtf8();
    if (wanted.isEmpty() && std::is_sorted(order.cbegin(), order.cend())) // a permutation: in place
        return listing.items();
    QList<FileItem> visible;
    visible.reserve(wanted.isEmpty() ? order.size() : 0);
    for (qsizetype i : order)
        if (wanted.isEmpty() || listing.nameContains(i, wanted))
            visible.append(listing.items().at(i));
    return visible;
}

// Runs off the main thread. A file is selected by the path its folder's listing gives it, which
// isn't the one asked for when that folder is a link.
std::optional<PathClipboardService::Resolution> asListed(const std::optional<PathClipboardService::Resolution> &resolution)
{
    using Resolution = PathClipboardService::Resolution;
    if (!resolution || resolution->kind() != Resolution::Kind::file)
        return resolution;
    return Resolution::file(resolution->parent(), DirectoryLister::listedPath(resolution->url()));
}

// The first entries of a folder of this many are shown as soon as the names are in order, before
// the rest are ready; a smaller folder is read in less time than a paint takes.
constexpr qsizetype FirstPageMinimum = 2000;
// More rows than the tallest list shows at once.
constexpr qsizetype FirstPageSize = 256;

TabModel::LoadResult arranged(const FolderListing::Shared &listing, const QList<SortKey> &order, const QString &query,
                              const std::optional<FileError> &error = {})
{
    TabModel::LoadResult result;
    result.listing = listing;
    result.error = error;
    result.order = ItemSorter::sortedOrder(listing->items(), order, listing->nameRanks());
    result.visible = visibleOf(*listing, result.order, query);
    return result;
}

// Runs on a pool thread with copies of all it needs. Indexing, sorting and filtering here keeps
// a large folder's reload off the main thread; comparing with the entries the tab had lets an
// unchanged folder be applied without telling anyone, and comparing with the listing another
// view of the folder holds lets the two share their entries. A load that a newer one overtook
// while it listed stops there and lets go of its entries at once: the tab would drop them anyway.
// With `firstPage`, the first entries of a large folder are offered there before the rest are
// ready.
TabModel::LoadResult listFolder(const FilePath &url, bool showHidden, const QList<SortKey> &order,
                                const QString &query, const FolderListing::Shared &previous,
                                const FolderListing::Shared &shelved,
                                const std::shared_ptr<const std::atomic<quint64>> &latest, quint64 generation,
                                const std::shared_ptr<QPromise<TabModel::LoadResult>> &firstPage)
{
    TabModel::LoadResult result;
    ListingFirstPage page;
    if (firstPage) {
        page.size = FirstPageSize;
        page.show = [&](const DirectoryListing &entries, qsizetype folderEntries) {
            if (folderEntries < FirstPageMinimum || latest->load() != generation)
                return;
            firstPage->addResult(arranged(FolderListing::firstPage(entries, folderEntries), order, query));
            firstPage->finish();
        };
    }
    DirectoryListing listing;
    try {
        listing = FileSystemService().readDirectory(url, showHidden, page);
    } catch (const FileError &error) {
        result.error = error;
    } catch (const std::exception &error) {
        result.error = FileError(FileError::Operation::List, EIO, url.path(),
                                 ErrorNote::libraryText(QString::fromLocal8Bit(error.what())));
    }
    if (firstPage)
        firstPage->finish();
    QList<FileItem> &items = listing.items;
    if (latest->load() != generation) {
        const qsizetype listed = items.size();
        listing = {};
        FolderListing::releaseFreedMemory(listed);
        return {};
    }
    if (items == previous->items())
        return result;
    if (shelved && items == shelved->items()) {
        const qsizetype listed = items.size();
        listing = {};
        FolderListing::releaseFreedMemory(listed);
        return arranged(shelved, order, query, result.error);
    }
    return arranged(FolderListing::make(std::move(listing)), order, query, result.error);
}

// The folder's watch, or when the folder is missing, that of the nearest folder above it: any
// change there (the folder made again, or a folder on the way to it) reloads the tab, which then
// watches the folder itself.
TabModel::LoadResult::Watched watchNearest(FilePath folder)
{
    TabModel::LoadResult::Watched watched{DirectoryWatcher::watchFolder(folder), false};
    while (!watched.watch.isValid()) {
        const FilePath parent = folder.parentDir();
        if (parent == folder || parent.isEmpty())
            break;
        folder = parent;
        watched = {DirectoryWatcher::watchFolder(folder), true};
    }
    return watched;
}

// Runs on a pool thread, like the listing. The watch comes before the read, so a change made
// while the folder is read is still reported, and one made before is in the entries read.
TabModel::LoadResult loadFolder(bool watch, const FilePath &url, const FilePath &fallback, bool showHidden,
                                const QList<SortKey> &order, const QString &query, const FolderListing::Shared &previous,
                                const FolderListing::Shared &shelved,
                                const std::shared_ptr<const std::atomic<quint64>> &latest, quint64 generation,
                                const std::shared_ptr<QPromise<TabModel::LoadResult>> &firstPage)
{
    const FilePath folder = fallback.isEmpty() || FileSystemService().isFolder(url) ? url : fallback;
    std::optional<TabModel::LoadResult::Watched> watched;
    if (watch && latest->load() == generation)
        watched = watchNearest(folder);
    TabModel::LoadResult result =
        listFolder(folder, showHidden, order, query, previous, shelved, latest, generation, firstPage);
    result.watched = std::move(watched);
    if (folder != url)
        result.fellBackTo = folder;
    return result;
}

} // namespace

TabModel::TabModel(const FilePath &url, bool showHidden, QObject *parent, std::chrono::milliseconds watchDebounce,
                   const FilePath &fallback)
    : QObject(parent), m_history(url), m_listing(FolderListing::empty()), m_fallback(fallback),
      m_showHidden(showHidden), m_watcher(watchDebounce)
{
    reload(); // and with it the watch
}

// The watcher goes first and with it any change notification. A load still running holds
// nothing of the tab: it is left to end on its own, stuck as it may be on a file system that
// stopped answering, and its result (its watch with it) is dropped.
TabModel::~TabModel()
{
    // A load still sorting a large folder sees it is no longer wanted and stops early.
    ++*m_latestLoad;
}

// Asked on every change of the selection (the status bar, the title line). For a few selected
// entries every entry's name is compared first: that is far cheaper than hashing the URL of
// each of 100,000 entries. An entry whose URL was selected but not found that way (the name in
// its URL differs from the one shown) is found by the full pass.
QList<FileItem> TabModel::selectedItems() const
{
    QList<FileItem> selected;
    if (m_selection.isEmpty())
        return selected;
    constexpr qsizetype few = 16;
    if (m_selection.size() <= few) {
        QStringList names;
        for (const FilePath &url : m_selection)
            names.append(url.displayName());
        for (const FileItem &item : items()) {
            if (names.contains(item.name) && m_selection.contains(item.url))
                selected.append(item);
        }
        if (selected.size() == m_selection.size())
            return selected;
        selected.clear();
    }
    for (const FileItem &item : items())
        if (m_selection.contains(item.url))
            selected.append(item);
    return selected;
}

QList<FileItem> TabModel::shownSelection() const
{
    return m_viewMode == ViewMode::column ? m_columnSelection : selectedItems();
}

void TabModel::setSelection(const QSet<FilePath> &selection)
{
    if (m_selection == selection)
        return;
    m_selection = selection;
    Q_EMIT selectionChanged();
}

void TabModel::setPathBarMode(PathBarMode mode)
{
    if (m_pathBarMode == mode)
        return;
    m_pathBarMode = mode;
    Q_EMIT pathBarModeChanged();
}

void TabModel::togglePathBarMode()
{
    setPathBarMode(m_pathBarMode == PathBarMode::breadcrumb ? PathBarMode::text : PathBarMode::breadcrumb);
}

void TabModel::setViewMode(ViewMode mode)
{
    if (m_viewMode == mode)
        return;
    m_viewMode = mode;
    Q_EMIT viewModeChanged();
}

void TabModel::setColumnSelection(const QList<FileItem> &items)
{
    if (m_columnSelection == items)
        return;
    m_columnSelection = items;
    Q_EMIT columnSelectionChanged();
}

void TabModel::setColumnFocusDirectory(const FilePath &url)
{
    if (m_columnFocusDirectory == url)
        return;
    m_columnFocusDirectory = url;
    Q_EMIT columnFocusDirectoryChanged();
}

void TabModel::setFilterQuery(const QString &query)
{
    if (m_filterQuery == query)
        return;
    m_filterQuery = query;
    Q_EMIT filterQueryChanged();
    refilter();
    unselectFilteredOut();
}

void TabModel::setFilterActive(bool active)
{
    if (m_filterActive == active)
        return;
    m_filterActive = active;
    Q_EMIT filterActiveChanged();
}

void TabModel::setSortOrder(const QList<SortKey> &order)
{
    if (m_sortOrder == order)
        return;
    m_sortOrder = order;
    Q_EMIT sortOrderChanged();
    resort();
}

void TabModel::setShowHidden(bool show)
{
    if (m_showHidden != show) {
        m_showHidden = show;
        Q_EMIT showHiddenChanged();
    }
    reload();
}

void TabModel::navigate(const FilePath &url)
{
    NavigationHistory history = m_history;
    history.navigate(url);
    setHistory(history);
    showCurrentFolder();
}

void TabModel::goToTyped(const QString &text, const FilePath &relativeTo)
{
    goToFound(QtConcurrent::run(FutureOwner::pool(), [text, relativeTo] { return asListed(PathClipboardService::resolve(text, relativeTo)); }));
}

void TabModel::goToPath(const FilePath &url)
{
    goToFound(QtConcurrent::run(FutureOwner::pool(), [url] { return asListed(PathClipboardService::resolve(url)); }));
}

void TabModel::goToFound(const QFuture<std::optional<PathClipboardService::Resolution>> &finding)
{
    using Resolution = PathClipboardService::Resolution;
    const FilePath from = m_history.current();
    m_tasks.watch(finding, [this, from](const std::optional<Resolution> &resolution) {
        if (m_history.current() != from)
            return;
        const bool found = resolution && resolution->kind() != Resolution::Kind::notFound;
        if (found && resolution->kind() == Resolution::Kind::directory) {
            navigate(resolution->url());
        } else if (found) {
            navigate(resolution->parent());
            setSelection({resolution->url()});
        }
        Q_EMIT typedPathAnswered(found);
    });
}

void TabModel::goBack()
{
    step(&NavigationHistory::goBack);
}

void TabModel::goForward()
{
    step(&NavigationHistory::goForward);
}

void TabModel::step(void (NavigationHistory::*move)())
{
    NavigationHistory history = m_history;
    (history.*move)();
    setHistory(history);
    showCurrentFolder();
}

void TabModel::showCurrentFolder()
{
    setSelection({});
    setFilterQuery(QString());
    setFilterActive(false);
    // The load watches the new folder; changes of the one left are no longer the tab's.
    m_watcher.stop();
    m_fallback = {};
    m_watchingAncestor = false;
    reload();
}

void TabModel::reload()
{
    ++m_reloadCount;
    Q_EMIT reloadCountChanged();
    // A folder that was missing when the tab came to it, or was deleted since, is watched
    // through the nearest folder above it; once it is there again the load watches it itself.
    const bool watch = !m_watcher.isWatching() || m_watchingAncestor;
    // The listing below sees every change announced so far (a transfer that just ended, say):
    // the watcher need not reload for them again.
    m_watcher.dropPending();
    // Only the newest load may publish: an older one still running sees another generation.
    const quint64 generation = ++*m_latestLoad;
    setIsLoading(true);
    const std::shared_ptr<const std::atomic<quint64>> latest = m_latestLoad;
    // The first entries of a folder the tab doesn't show yet are shown before the rest are
    // ready, where they are the entries at the top of the list.
    std::shared_ptr<QPromise<LoadResult>> firstPage;
    // (Not while the tab may yet fall back to another folder.)
    if (m_listedFolder != currentUrl() && m_fallback.isEmpty()
        && (m_sortOrder.isEmpty() || m_sortOrder.constFirst() == SortKey{})) {
        firstPage = std::make_shared<QPromise<LoadResult>>();
        firstPage->start();
        m_tasks.watch(firstPage->future(), [this, generation, order = m_sortOrder, query = m_filterQuery](
                                               const LoadResult &result) {
            if (generation == m_latestLoad->load())
                setItems(result, order != m_sortOrder || query != m_filterQuery);
        });
    }
    QFuture<LoadResult> listing =
        QtConcurrent::run(FutureOwner::pool(), loadFolder, watch, currentUrl(), m_fallback, m_showHidden, m_sortOrder, m_filterQuery, m_listing,
                          FolderListing::shelved(currentUrl(), m_showHidden), latest, generation, firstPage);
    // Bound to this object: a tab closed meanwhile never sees the result.
    m_loadTask = m_tasks.watch(listing, [this, generation, order = m_sortOrder, query = m_filterQuery](
                                                      const LoadResult &result) {
        if (generation != m_latestLoad->load())
            return;
        if (!result.fellBackTo.isEmpty())
            setHistory(NavigationHistory(result.fellBackTo));
        m_fallback = {};
        if (result.watched)
            adoptWatch(*result.watched);
        if (result.listing)
            setItems(result, order != m_sortOrder || query != m_filterQuery);
        setLoadError(result.error);
        setIsLoading(false);
        Q_EMIT loadFinished();
    });
}

void TabModel::adoptWatch(const LoadResult::Watched &watched)
{
    // Queued: the tab reloads from the event loop, never from inside the watcher's own call.
    m_watcher.adopt(watched.watch, [this] { QMetaObject::invokeMethod(this, &TabModel::reload, Qt::QueuedConnection); });
    m_watchingAncestor = watched.ofAncestor;
}

// Both lists are in place before anyone is told, so a view that reads the visible entries on
// hearing of new entries never sees the old ones.
void TabModel::setItems(const LoadResult &result, bool orderOrFilterChanged)
{
    const qsizetype released = items().size();
    m_listing = result.listing;
    m_listedFolder = currentUrl();
    if (!m_listing->detailsPending())
        FolderListing::shelve(currentUrl(), m_showHidden, m_listing);
    // The order and filter may have changed while the folder was listed.
    if (orderOrFilterChanged)
        m_order = ItemSorter::sortedOrder(items(), m_sortOrder, m_listing->nameRanks());
    else
        m_order = result.order;
    QList<FileItem> visible = orderOrFilterChanged ? visibleOf(*m_listing, m_order, m_filterQuery) : result.visible;
    const bool visibleChanged = m_visible != visible;
    if (visibleChanged)
        m_visible = std::move(visible);
    Q_EMIT itemsChanged();
    if (visibleChanged)
        Q_EMIT visibleItemsChanged();
    unselectFilteredOut();
    FolderListing::releaseFreedMemory(std::max(released, items().size()));
}

void TabModel::resort()
{
    m_order = ItemSorter::sortedOrder(items(), m_sortOrder, m_listing->nameRanks());
    refilter();
}

void TabModel::refilter()
{
    QList<FileItem> visible = visibleOf(*m_listing, m_order, m_filterQuery);
    if (m_visible == visible)
        return;
    m_visible = std::move(visible);
    Q_EMIT visibleItemsChanged();
}

// An entry the filter hides is no longer selected: commands act on what the user sees.
void TabModel::unselectFilteredOut()
{
    if (m_selection.isEmpty() || m_filterQuery.isEmpty())
        return;
    QSet<FilePath> shown;
    for (const FileItem &item : std::as_const(m_visible)) {
        if (m_selection.contains(item.url))
            shown.insert(item.url);
    }
    setSelection(shown);
}

void TabModel::setLoadError(const std::optional<FileError> &error)
{
    if (!m_loadError && !error)
        return;
    if (m_loadError && error && m_loadError->message() == error->message())
        return;
    m_loadError = error;
    Q_EMIT loadErrorChanged();
}

void TabModel::setIsLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

void TabModel::setHistory(const NavigationHistory &history)
{
    if (m_history == history)
        return;
    m_history = history;
    Q_EMIT historyChanged();
}
