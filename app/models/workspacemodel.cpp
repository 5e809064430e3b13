#include "workspacemodel.h"

#include "clipboardmime.h"
#include "panemodel.h"
#include "pathformatter.h"
#include "tabmodel.h"
#include "undocoordinator.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

QStringList standardizedPaths(const QList<FilePath> &urls)
{
    QStringList paths;
    for (const FilePath &url : urls)
        paths << url.cleanPath().path();
    return paths;
}

} // namespace

WorkspaceModel::WorkspaceModel(bool showHidden, QObject *parent)
    : QObject(parent), m_showHidden(showHidden), m_undo(new UndoCoordinator(this))
{
    // Without a GUI application (tools, core tests) there is no system clipboard to tie to.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        m_system = QGuiApplication::clipboard();
        connect(m_system, &QClipboard::dataChanged, this, [this] { ++m_systemChangeCount; });
    }
    const FilePath home = FilePath::fromString(QDir::homePath());
    // The XDG Documents folder (which may be localised); its tab looks whether it exists.
    const FilePath documents = FilePath::fromString(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    m_panes.append(new PaneModel(home, showHidden, this));
    m_panes.append(new PaneModel(documents.isEmpty() ? home : documents, showHidden, this, home));
    m_activePaneID = m_panes.first()->id();
    findPlaces();
}

// Each place is looked for on its own, so one on a file system that stopped answering holds
// back no other.
void WorkspaceModel::findPlaces()
{
    for (const SidebarItem &place : SidebarItem::candidates()) {
        m_tasks.watch(QtConcurrent::run(FutureOwner::pool(), [place] { return place.exists(); }), [this, place](bool exists) {
            if (!exists)
                return;
            const auto after = std::find_if(m_sidebarItems.begin(), m_sidebarItems.end(),
                                            [&place](const SidebarItem &shown) { return shown.label > place.label; });
            m_sidebarItems.insert(after, place);
            Q_EMIT sidebarItemsChanged();
        });
    }
}

WorkspaceModel::~WorkspaceModel() = default;

void WorkspaceModel::leaveFolder(const FilePath &root)
{
    for (PaneModel *pane : std::as_const(m_panes))
        for (TabModel *tab : pane->tabs())
            if (tab->history().current().isSameOrChildOf(root))
                tab->navigate(FilePath::fromString(QDir::homePath()));
}

void WorkspaceModel::setActivePaneID(const QUuid &id)
{
    if (m_activePaneID == id)
        return;
    m_activePaneID = id;
    Q_EMIT activePaneIDChanged();
}

PaneModel *WorkspaceModel::activePane() const
{
    for (PaneModel *pane : m_panes)
        if (pane->id() == m_activePaneID)
            return pane;
    return m_panes.first();
}

PaneModel *WorkspaceModel::otherPane(const PaneModel *pane) const
{
    for (PaneModel *candidate : m_panes)
        if (candidate != pane)
            return candidate;
    return nullptr;
}

void WorkspaceModel::focusAdjacentPane(int offset)
{
    const auto found = std::find_if(m_panes.begin(), m_panes.end(),
                                    [this](const PaneModel *pane) { return pane->id() == m_activePaneID; });
    if (found == m_panes.end())
        return;
    const qint64 target = qint64(found - m_panes.begin()) + offset;
    if (target < 0 || target >= m_panes.size())
        return;
    setActivePaneID(m_panes.at(target)->id());
}

void WorkspaceModel::setShowHidden(bool show)
{
    if (m_showHidden == show)
        return;
    m_showHidden = show;
    Q_EMIT showHiddenChanged();
}

void WorkspaceModel::setDraggingURLs(const QList<FilePath> &urls)
{
    if (m_draggingURLs == urls)
        return;
    m_draggingURLs = urls;
    Q_EMIT draggingURLsChanged();
}

void WorkspaceModel::setClipboard(const std::optional<FileClipboard> &clipboard)
{
    if (m_clipboard == clipboard)
        return;
    m_clipboard = clipboard;
    const bool cut = clipboard && clipboard->operation == ClipboardOperation::move;
    m_cutUrls = cut ? QSet<FilePath>(clipboard->urls.begin(), clipboard->urls.end()) : QSet<FilePath>();
    Q_EMIT clipboardChanged();
}

QList<FilePath> WorkspaceModel::activeSelection() const
{
    QList<FilePath> urls;
    for (const FileItem &item : activePane()->activeTab()->selectedItems())
        urls << item.url;
    return urls;
}

void WorkspaceModel::copySelection()
{
    writeClipboard(activeSelection(), ClipboardOperation::copy);
}

void WorkspaceModel::cutSelection()
{
    writeClipboard(activeSelection(), ClipboardOperation::move);
}

void WorkspaceModel::writeClipboard(const QList<FilePath> &urls, ClipboardOperation operation)
{
    if (urls.isEmpty())
        return;
    setClipboard(FileClipboard{urls, operation});
    if (m_system)
        m_system->setMimeData(ClipboardMime::encode(urls, operation));
    m_clipboardChangeCount = m_systemChangeCount;
}

std::optional<FileClipboard> WorkspaceModel::effectivePasteSource() const
{
    const std::optional<FileClipboard> onSystem = m_system ? ClipboardMime::decode(m_system->mimeData()) : std::nullopt;
    if (m_clipboard) {
        if (m_clipboardChangeCount == m_systemChangeCount)
            return m_clipboard;
        // Somebody wrote since; still ours if it is the very same files (a clipboard manager
        // taking the contents over, say), so a cut stays a move.
        if (onSystem && standardizedPaths(onSystem->urls) == standardizedPaths(m_clipboard->urls))
            return m_clipboard;
    }
    return onSystem;
}

bool WorkspaceModel::isCut(const FilePath &url) const
{
    return m_cutUrls.contains(url);
}

void WorkspaceModel::copyActiveSelectionPaths()
{
    const QList<FilePath> urls = activeSelection();
    if (urls.isEmpty() || !m_system)
        return;
    m_system->setText(PathFormatter::joinForShell(urls));
}
