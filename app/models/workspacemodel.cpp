#include "workspacemodel.h"

#include "clipboardmime.h"
#include "panemodel.h"
#include "pathformatter.h"
#include "tabmodel.h"
#include "undocoordinator.h"
#include "urls.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

namespace {

// The XDG Documents folder (which may be localised); the home folder when it doesn't exist.
QUrl documentsFolder(const QString &home)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return Urls::fromPath(!documents.isEmpty() && QFileInfo(documents).isDir() ? documents : home);
}

QStringList standardizedPaths(const QList<QUrl> &urls)
{
    QStringList paths;
    for (const QUrl &url : urls)
        paths << Urls::path(Urls::standardized(url));
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
    const QString home = QDir::homePath();
    m_panes.append(new PaneModel(Urls::fromPath(home), showHidden, this));
    m_panes.append(new PaneModel(documentsFolder(home), showHidden, this));
    m_activePaneID = m_panes.first()->id();
}

WorkspaceModel::~WorkspaceModel() = default;

void WorkspaceModel::leaveFolder(const QUrl &root)
{
    const QString gone = Urls::path(root);
    for (PaneModel *pane : std::as_const(m_panes))
        for (TabModel *tab : pane->tabs())
            if (Urls::isSameOrInside(Urls::path(tab->history().current()), gone))
                tab->navigate(Urls::fromPath(QDir::homePath()));
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

void WorkspaceModel::setDraggingURLs(const QList<QUrl> &urls)
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
    m_cutUrls = cut ? QSet<QUrl>(clipboard->urls.begin(), clipboard->urls.end()) : QSet<QUrl>();
    Q_EMIT clipboardChanged();
}

QList<QUrl> WorkspaceModel::activeSelection() const
{
    QList<QUrl> urls;
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

void WorkspaceModel::writeClipboard(const QList<QUrl> &urls, ClipboardOperation operation)
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

bool WorkspaceModel::isCut(const QUrl &url) const
{
    return m_cutUrls.contains(url);
}

void WorkspaceModel::copyActiveSelectionPaths()
{
    const QList<QUrl> urls = activeSelection();
    if (urls.isEmpty() || !m_system)
        return;
    m_system->setText(PathFormatter::joinForShell(urls));
}
