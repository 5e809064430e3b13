#pragma once
// The table widget of a file list. It reports what the user does with the pointer and the keys
// (a click with its modifiers, a double click, the start of a drag, a drop on a row or on the
// background, a key press) and leaves what that means to FileListView. Arrow keys and type-ahead
// keep the platform's behaviour. Cut rows are painted faded.

#include "panecommands.h"
#include "fileitem.h"

#include <QList>
#include <QPoint>
#include <QSet>
#include <QTreeView>
#include "filepath.h"

#include <functional>

class WorkspaceModel;

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
    // For a column of folders: a chevron at the end of folder rows, and drops on file rows
    // refused instead of going to the background.
    void setFolderColumnStyle(bool folderColumn) { m_folderColumn = folderColumn; }
    bool isFolderColumn() const { return m_folderColumn; }
    // The folder row a drag hovers over, or -1.
    int dropTargetRow() const { return m_dropRow; }

    // Drags `carried` out (the workspace learns what is dragged); the picture is the dragged
    // row's kind and name.
    void startFileDrag(WorkspaceModel *workspace, const FileItem &dragged, const QList<FileItem> &carried);
    // Selects the rows whose URL is in `urls` (the model is a FileTableModel), and puts the
    // current row on the first of them unless it is already selected.
    void showSelection(const QSet<FilePath> &urls);
    // The context menu of the window's commands for `target`, at `pos` (viewport coordinates); its
    // entries act on the target's items while it is open.
    void showMenu(PaneCommands *commands, const CommandTarget &target, const QPoint &pos);

Q_SIGNALS:
    void rowClicked(int row, Qt::KeyboardModifiers modifiers);
    void rowDoubleClicked(int row);
    void backgroundClicked();
    void dragStarted(int row);
    // row is -1 for a drop on the background or on a row that is no folder.
    void urlsDropped(const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers);
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
    QPixmap dragImage(const FileItem &dragged) const;
    static Qt::DropAction dropAction(Qt::KeyboardModifiers modifiers);
    bool selectFirstRow(QKeyEvent *event);
    bool refusedAt(const QPoint &pos) const;
    void showDropTarget(int row);

    KeyHandler m_keys;
    bool m_folderColumn = false;
    QPoint m_pressPos;
    int m_pressRow = -1;
    int m_dropRow = -1;
    bool m_clickDeferred = false; // a plain press on a selected row selects on release, not before a drag
};
