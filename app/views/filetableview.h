#pragma once
// The table widget of a file list. It reports what the user does with the pointer and the keys
// (a click with its modifiers, a double click, the start of a drag, a drop on a row or on the
// background, a key press) and leaves what that means to FileListView. Arrow keys and type-ahead
// keep the platform's behaviour. Cut rows are painted faded.

#include <QList>
#include <QPoint>
#include <QTreeView>
#include <QUrl>

#include <functional>

class FileTableView : public QTreeView
{
    Q_OBJECT

public:
    // The command FileListView runs for a key; an empty one leaves the key to the table and to
    // the window's shortcuts.
    using KeyHandler = std::function<std::function<void()>(const QKeyEvent *)>;
    static constexpr double cutOpacity = 0.45;

    explicit FileTableView(QWidget *parent = nullptr);

    void setKeyHandler(KeyHandler handler) { m_keys = std::move(handler); }

Q_SIGNALS:
    void rowClicked(int row, Qt::KeyboardModifiers modifiers);
    void rowDoubleClicked(int row);
    void backgroundClicked();
    void dragStarted(int row);
    // row is -1 for a drop on the background or on a row that is no folder.
    void urlsDropped(const QList<QUrl> &urls, int row, Qt::KeyboardModifiers modifiers);
    // While URLs are dragged over the list: where they would land (row as for urlsDropped) and
    // whether they would be copied or moved there.
    void dropHovered(int row, Qt::DropAction action);
    void dropHoverEnded();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int folderRowAt(const QPoint &pos) const;
    static Qt::DropAction dropAction(Qt::KeyboardModifiers modifiers);
    bool selectFirstRow(QKeyEvent *event);

    KeyHandler m_keys;
    QPoint m_pressPos;
    int m_pressRow = -1;
    bool m_clickDeferred = false; // a plain press on a selected row selects on release, not before a drag
};
