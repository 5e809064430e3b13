#include "filetableview.h"

#include "filetablemodel.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <QStyledItemDelegate>

namespace {

class CutFadingDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool cut = index.data(FileTableModel::CutRole).toBool();
        if (cut) {
            painter->save();
            painter->setOpacity(FileTableView::cutOpacity);
        }
        QStyledItemDelegate::paint(painter, option, index);
        if (cut)
            painter->restore();
    }
};

} // namespace

FileTableView::FileTableView(QWidget *parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false); // drags are started here, with the list's own rules
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setItemDelegate(new CutFadingDelegate(this));
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

// Shortcuts of the window must not take the keys the list answers itself (Ctrl+C, Delete, ...).
bool FileTableView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && m_keys) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool edit = key->modifiers() & Qt::ControlModifier || key->key() == Qt::Key_Delete
            || key->key() == Qt::Key_Backspace || (key->key() >= Qt::Key_F2 && key->key() <= Qt::Key_F7);
        // The window's own keys stay the window's: pane focus (Ctrl+arrows), hidden files, copy
        // path, settings, and everything with Alt (float on top, right pane).
        const int k = key->key();
        const bool windowKey = key->modifiers() & Qt::AltModifier || k == Qt::Key_Left || k == Qt::Key_Right
            || k == Qt::Key_H || k == Qt::Key_Comma || (k == Qt::Key_C && key->modifiers() & Qt::ShiftModifier);
        if (edit && !windowKey && !key->matches(QKeySequence::Undo) && !key->matches(QKeySequence::Redo)) {
            event->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void FileTableView::keyPressEvent(QKeyEvent *event)
{
    if (m_keys && m_keys(event)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void FileTableView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    m_pressPos = event->position().toPoint();
    m_pressRow = index.isValid() ? index.row() : -1;
    m_clickDeferred = false;
    if (event->button() == Qt::RightButton) {
        if (m_pressRow >= 0 && !selectionModel()->isRowSelected(m_pressRow, {}))
            Q_EMIT rowClicked(m_pressRow, Qt::NoModifier);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_pressRow < 0) {
        Q_EMIT backgroundClicked();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::NoModifier && selectionModel()->isRowSelected(m_pressRow, {}))
        m_clickDeferred = true;
    else
        Q_EMIT rowClicked(m_pressRow, modifiers);
}

void FileTableView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_pressRow < 0)
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int row = m_pressRow;
    m_pressRow = -1;
    m_clickDeferred = false;
    Q_EMIT dragStarted(row);
}

void FileTableView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_clickDeferred && event->button() == Qt::LeftButton && m_pressRow >= 0)
        Q_EMIT rowClicked(m_pressRow, Qt::NoModifier);
    m_clickDeferred = false;
    m_pressRow = -1;
}

void FileTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        Q_EMIT rowDoubleClicked(index.row());
}

void FileTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileTableView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    const int row = folderRowAt(event->position().toPoint());
    if (row >= 0)
        setCurrentIndex(model()->index(row, 0)); // shows which folder takes the drop
    event->acceptProposedAction();
}

void FileTableView::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    // The URLs' percent-encoding carries a name's bytes as they are; anything not a local file
    // is left out.
    QList<FilePath> urls;
    for (const QUrl &url : event->mimeData()->urls())
        if (const FilePath path = FilePath::fromUrl(url); !path.isEmpty())
            urls.append(path);
    const int row = folderRowAt(event->position().toPoint());
    event->acceptProposedAction();
    Q_EMIT urlsDropped(urls, row, event->modifiers());
}

int FileTableView::folderRowAt(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() && index.data(FileTableModel::IsDirectoryRole).toBool() ? index.row() : -1;
}
