#include "bookmarklistwidget.h"

#include <QDropEvent>

BookmarkListWidget::BookmarkListWidget(QWidget *parent) : QListWidget(parent)
{
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int BookmarkListWidget::dropOffset(const QPoint &pos) const
{
    const QModelIndex target = indexAt(pos);
    if (!target.isValid())
        return count();
    const QRect rect = visualRect(target);
    return pos.y() < rect.center().y() ? target.row() : target.row() + 1;
}

void BookmarkListWidget::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int from = currentRow();
    const int to = dropOffset(event->position().toPoint());
    // The store does the move; the list must not move its own rows as well.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (from >= 0 && to != from && to != from + 1)
        Q_EMIT rowMoveRequested(from, to);
}
