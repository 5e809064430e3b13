#include "filetableview.h"

#include "clipboardmime.h"
#include "contextmenubuilder.h"

#include "filenames.h"
#include "filetablemodel.h"
#include "paneactions.h"
#include "theme.h"
#include "themeicons.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Cut rows faded; the folder a drag hovers over drawn as selected; in a folder column, a chevron
// after each folder's name.
class RowDelegate : public QStyledItemDelegate
{
public:
    explicit RowDelegate(FileTableView *view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &given, const QModelIndex &index) const override
    {
        QStyleOptionViewItem option = given;
        if (index.row() == m_view->dropTargetRow())
            option.state |= QStyle::State_Selected;
        const bool cut = index.data(FileTableModel::CutRole).toBool();
        painter->save();
        if (cut)
            painter->setOpacity(FileTableView::cutOpacity);
        if (!chevron(index)) {
            QStyledItemDelegate::paint(painter, option, index);
            painter->restore();
            return;
        }
        // The row's highlight spans the chevron too; the name gives way to it.
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
        QStyleOptionViewItem room = option;
        room.rect.adjust(0, 0, -chevronWidth, 0);
        QStyledItemDelegate::paint(painter, room, index);
        const QRect mark(option.rect.right() - chevronWidth + 4, option.rect.center().y() - 5, 10, 10);
        painter->setOpacity(painter->opacity() * 0.6);
        ThemeIcons::icon(ThemeIcons::Symbol::separator).paint(painter, mark);
        painter->restore();
    }

private:
    static constexpr int chevronWidth = 18;
    bool chevron(const QModelIndex &index) const
    {
        return m_view->isFolderColumn() && index.column() == FileTableModel::NameColumn
            && index.data(FileTableModel::IsDirectoryRole).toBool();
    }

    FileTableView *m_view;
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
    setItemDelegate(new RowDelegate(this));
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

// The keys the list answers itself are taken before the window's shortcuts see them; all others
// (Ctrl+Q, Ctrl+Z, Ctrl+Y, Ctrl+L, ...) reach the window.
bool FileTableView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && m_keys && m_keys(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void FileTableView::keyPressEvent(QKeyEvent *event)
{
    if (const std::function<void()> command = m_keys ? m_keys(event) : nullptr) {
        event->accept();
        command();
        return;
    }
    if (selectFirstRow(event))
        return;
    QTreeView::keyPressEvent(event);
}

// With nothing selected, the first arrow press selects the row the keyboard is on (the first
// one in a fresh list) instead of moving past it, and Home and End select the first and last
// rows (in a fresh list the view would take End for the first row too).
bool FileTableView::selectFirstRow(QKeyEvent *event)
{
    const int key = event->key();
    const bool arrow = key == Qt::Key_Down || key == Qt::Key_Up;
    const bool end = key == Qt::Key_Home || key == Qt::Key_End;
    if ((!arrow && !end) || event->modifiers() & ~Qt::KeypadModifier || selectionModel()->hasSelection()
        || model()->rowCount() == 0)
        return false;
    QModelIndex start = arrow ? currentIndex() : QModelIndex();
    if (!start.isValid())
        start = model()->index(key == Qt::Key_Down || key == Qt::Key_Home ? 0 : model()->rowCount() - 1, 0);
    selectionModel()->setCurrentIndex(start, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(start);
    event->accept();
    return true;
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
    const QPoint pos = event->position().toPoint();
    if (!event->mimeData()->hasUrls() || refusedAt(pos)) {
        showDropTarget(-1);
        event->ignore();
        return;
    }
    // The folder that takes the drop is drawn as selected; the selection itself stays as it is.
    showDropTarget(folderRowAt(pos));
    // The pointer shows whether the drop will copy or move.
    const Qt::DropAction action = dropAction(event->modifiers());
    event->setDropAction(action);
    event->accept();
    Q_EMIT dropHovered(m_dropRow, action);
}

void FileTableView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTreeView::dragLeaveEvent(event);
    showDropTarget(-1);
    Q_EMIT dropHoverEnded();
}

void FileTableView::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls() || refusedAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    const QList<FilePath> urls = ClipboardMime::droppedFiles(event->mimeData());
    const int row = folderRowAt(event->position().toPoint());
    event->setDropAction(dropAction(event->modifiers()));
    event->accept();
    showDropTarget(-1);
    Q_EMIT dropHoverEnded();
    Q_EMIT urlsDropped(urls, row, event->modifiers());
}

Qt::DropAction FileTableView::dropAction(Qt::KeyboardModifiers modifiers)
{
    return PaneActions::dropOperation(modifiers) == PaneActions::TransferOperation::copy ? Qt::CopyAction : Qt::MoveAction;
}

void FileTableView::showDropTarget(int row)
{
    if (row == m_dropRow)
        return;
    m_dropRow = row;
    viewport()->update();
}

int FileTableView::folderRowAt(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() && index.data(FileTableModel::IsDirectoryRole).toBool() ? index.row() : -1;
}

bool FileTableView::refusedAt(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return m_folderColumn && index.isValid() && !index.data(FileTableModel::IsDirectoryRole).toBool();
}

// The dragged item's symbol and name on a rounded label, so the pointer says what it carries.
QPixmap FileTableView::dragImage(const FileItem &dragged) const
{
    constexpr int padding = 6;
    constexpr int iconSide = 16;
    const Theme theme = Theme::daziduvEdiv();
    const QFontMetrics metrics(font());
    const QString name =
        metrics.elidedText(FileNames::displayName(dragged.name), Qt::ElideMiddle, 40 * metrics.averageCharWidth());
    const QSize size(padding + iconSide + padding + metrics.horizontalAdvance(name) + padding,
                     padding + std::max(iconSide, metrics.height()) + padding);
    const qreal scale = devicePixelRatioF();
    QPixmap image(size * scale);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(theme.divider);
    painter.setBrush(theme.secondaryBackground);
    painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(size) - QSizeF(1, 1)), 4, 4);
    const QIcon icon = ThemeIcons::icon(dragged.isDirectory ? ThemeIcons::Symbol::folder : ThemeIcons::Symbol::file);
    icon.paint(&painter, QRect(padding, (size.height() - iconSide) / 2, iconSide, iconSide));
    painter.setFont(font());
    painter.setPen(theme.foreground);
    painter.drawText(QRect(padding + iconSide + padding, 0, size.width(), size.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     name);
    return image;
}

void FileTableView::startFileDrag(WorkspaceModel *workspace, const FileItem &dragged, const QList<FileItem> &carried)
{
    QList<FilePath> urls;
    for (const FileItem &item : carried)
        urls.append(item.url);
    workspace->setDraggingURLs(urls);
    auto *drag = new QDrag(this);
    drag->setMimeData(ClipboardMime::encode(urls, ClipboardOperation::copy));
    drag->setPixmap(dragImage(dragged));
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

void FileTableView::showMenu(PaneCommands *commands, const CommandTarget &target, const QPoint &pos)
{
    if (!commands)
        return;
    QMenu menu;
    ContextMenuBuilder::fill(&menu, commands->contextMenu(target), commands, this);
    commands->setMenuTarget(target);
    menu.exec(viewport()->mapToGlobal(pos));
    commands->setMenuTarget(std::nullopt);
}

void FileTableView::showSelection(const QSet<FilePath> &urls)
{
    const auto *rows = static_cast<const FileTableModel *>(model());
    QItemSelection selection;
    int first = -1;
    const int count = rows->rowCount();
    for (int row = 0; row <= count; ++row) { // contiguous runs make few ranges, even for Ctrl+A
        const bool selected = row < count && urls.contains(rows->item(row).url);
        if (selected && first < 0)
            first = row;
        if (!selected && first >= 0) {
            selection.select(rows->index(first, 0), rows->index(row - 1, FileTableModel::ColumnCount - 1));
            first = -1;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty() && !selectionModel()->isSelected(currentIndex()))
        selectionModel()->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
}
