#pragma once
// The list of bookmarks. Dragging a row does not move it here: the drop is reported as a move
// of one position to another, the store reorders and persists, and the list is filled again
// from it, so the order shown is always the stored one.

#include <QListWidget>

class BookmarkListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit BookmarkListWidget(QWidget *parent = nullptr);

    // Where a row dropped at `pos` lands, as an offset before which it is inserted.
    int dropOffset(const QPoint &pos) const;

Q_SIGNALS:
    void rowMoveRequested(int from, int toOffset);

protected:
    void dropEvent(QDropEvent *event) override;
};
