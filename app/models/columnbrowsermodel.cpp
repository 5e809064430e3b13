#include "columnbrowsermodel.h"

#include "columnchain.h"
#include "filesystemservice.h"
#include "folderlisting.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

constexpr std::chrono::milliseconds watchDebounce{150};

// Columns show no error text: a folder that can't be listed is an empty column. A column that
// finds the entries a tab on the same folder holds takes the tab's, rather than keeping a copy.
QList<FileItem> listQuietly(const FilePath &url, bool showHidden, const FolderListing::Shared &shelved)
{
    QList<FileItem> items;
    try {
        items = FileSystemService().listDirectory(url, showHidden);
    } catch (...) {
        return {};
    }
    if (!shelved || items != shelved->items())
        return items;
    const qsizetype listed = items.size();
    items = {};
    FolderListing::releaseFreedMemory(listed);
    return shelved->items();
}

struct ColumnLoad
{
    QList<FileItem> items;
    DirectoryWatcher::Watch watch;
};

// The watch, when asked for, comes before the read: a change made while the folder is read is
// still reported.
ColumnLoad loadColumn(bool watch, const FilePath &url, bool showHidden, const FolderListing::Shared &shelved)
{
    ColumnLoad loaded;
    if (watch)
        loaded.watch = DirectoryWatcher::watchFolder(url);
    loaded.items = listQuietly(url, showHidden, shelved);
    return loaded;
}

qsizetype positionOf(const QList<FileItem> &items, const FilePath &url)
{
    const auto found = std::find_if(items.begin(), items.end(), [&url](const FileItem &item) { return item.url == url; });
    return found == items.end() ? -1 : qsizetype(found - items.begin());
}

} // namespace

ColumnBrowserModel::ColumnBrowserModel(const FilePath &rootURL, bool showHidden, QObject *parent)
    : QObject(parent), m_rootURL(rootURL), m_showHidden(showHidden)
{
}

void ColumnBrowserModel::setActiveColumnIndex(int index)
{
    if (m_activeColumnIndex == index)
        return;
    m_activeColumnIndex = index;
    Q_EMIT activeColumnIndexChanged();
}

void ColumnBrowserModel::start()
{
    m_columns = {Column::forFolder(m_rootURL)};
    fitWatchers();
    Q_EMIT columnsChanged();
    setActiveColumnIndex(0);
    load(0);
}

void ColumnBrowserModel::load(int index)
{
    if (!isInChain(index))
        return;
    Column &column = m_columns[index];
    const FilePath url = column.url;
    if (!column.isLoading) {
        column.isLoading = true;
        Q_EMIT columnsChanged();
    }
    const bool watch = index > 0 && !(m_watchers.at(size_t(index)) && m_watchers.at(size_t(index))->isWatching());
    m_loadTasks.append(m_tasks.watch(QtConcurrent::run(FutureOwner::pool(), loadColumn, watch, url, m_showHidden,
                                                       FolderListing::shelved(url, m_showHidden)),
                                     [this, index, url](const ColumnLoad &loaded) {
                                         applyListing(index, url, loaded.items, loaded.watch);
                                     }));
}

void ColumnBrowserModel::applyListing(int index, const FilePath &url, const QList<FileItem> &items,
                                      const DirectoryWatcher::Watch &watch)
{
    // The chain changed since the load began: the column was cut off or shows another folder.
    if (!isInChain(index) || m_columns.at(index).url != url)
        return;
    if (watch.isValid()) {
        std::unique_ptr<DirectoryWatcher> &watcher = m_watchers.at(size_t(index));
        if (!watcher)
            watcher = std::make_unique<DirectoryWatcher>(watchDebounce);
        watcher->adopt(watch, [this] { Q_EMIT folderChanged(); });
    }
    Column &column = m_columns[index];
    column.items = items;
    column.isLoading = false;
    Q_EMIT columnsChanged();
    Q_EMIT columnLoaded(index);
}

void ColumnBrowserModel::select(const FilePath &url, int index, SelectMode mode)
{
    if (!isInChain(index))
        return;
    const std::optional<FileItem> found = item(url, index);
    changeSelection(m_columns[index], found ? found->url : url, mode);
    setActiveColumnIndex(index);
    m_columns = ColumnChain::truncated(m_columns, index);
    fitWatchers();
    const QSet<FilePath> &selection = m_columns.at(index).selection;
    const std::optional<FileItem> single = selection.size() == 1 ? item(*selection.begin(), index) : std::nullopt;
    const bool expands = single && ColumnChain::shouldExpand(*single);
    if (expands) {
        m_columns.append(Column::forFolder(single->url));
        fitWatchers();
    }
    Q_EMIT columnsChanged();
    if (expands)
        load(int(m_columns.size()) - 1);
}

void ColumnBrowserModel::changeSelection(Column &column, const FilePath &target, SelectMode mode)
{
    if (mode == SelectMode::range && column.anchorID) {
        const qsizetype from = positionOf(column.items, *column.anchorID);
        const qsizetype to = positionOf(column.items, target);
        if (from >= 0 && to >= 0) {
            column.selection.clear();
            for (qsizetype i = std::min(from, to); i <= std::max(from, to); ++i)
                column.selection.insert(column.items.at(i).url);
            return;
        }
    }
    if (mode == SelectMode::toggle) {
        if (!column.selection.remove(target))
            column.selection.insert(target);
    } else {
        column.selection = {target};
    }
    column.anchorID = target;
}

void ColumnBrowserModel::open(const FilePath &url, int index) const
{
    const std::optional<FileItem> found = item(url, index);
    if (!found)
        return;
    if (found->isDirectory)
        m_onNavigate(found->url);
    else
        m_onOpenFile(found->url);
}

void ColumnBrowserModel::reloadColumns()
{
    for (int i = 0; i < m_columns.size(); ++i)
        load(i);
}

// A column cut off takes its watch with it; a column added has none until its first load.
void ColumnBrowserModel::fitWatchers()
{
    m_watchers.resize(size_t(m_columns.size()));
}

QList<FileItem> ColumnBrowserModel::selectedItems(int index) const
{
    QList<FileItem> selected;
    if (!isInChain(index))
        return selected;
    const Column &column = m_columns.at(index);
    for (const FileItem &entry : column.items)
        if (column.selection.contains(entry.url))
            selected.append(entry);
    return selected;
}

FilePath ColumnBrowserModel::deepestDirectory() const
{
    return m_columns.isEmpty() ? m_rootURL : m_columns.last().url;
}

QList<FileItem> ColumnBrowserModel::deepestSelection() const
{
    for (int i = int(m_columns.size()) - 1; i >= 0; --i) {
        QList<FileItem> selected = selectedItems(i);
        if (!selected.isEmpty())
            return selected;
    }
    return {};
}

std::optional<FileItem> ColumnBrowserModel::deepestSelectedFile() const
{
    const QList<FileItem> selected = deepestSelection();
    if (selected.size() != 1 || selected.first().isDirectory)
        return std::nullopt;
    return selected.first();
}

std::optional<FileItem> ColumnBrowserModel::item(const FilePath &url, int index) const
{
    if (!isInChain(index))
        return std::nullopt;
    const QList<FileItem> &items = m_columns.at(index).items;
    const qsizetype exact = positionOf(items, url);
    if (exact >= 0)
        return items.at(exact);
    // A URL written loosely ("A/", "B/../A") or through the column's folder when that is a link
    // (its entries carry the folder's resolved place) still finds its entry by name, without
    // asking the disk: this runs on the main thread.
    const FilePath clean = url.cleanPath();
    const FilePath &folder = m_columns.at(index).url;
    if (clean.parentDir() != folder.cleanPath())
        return std::nullopt;
    const QByteArrayView name = clean.fileNameBytes();
    const auto found = std::find_if(items.begin(), items.end(),
                                    [name](const FileItem &entry) { return entry.url.fileNameBytes() == name; });
    return found == items.end() ? std::nullopt : std::optional<FileItem>(*found);
}
