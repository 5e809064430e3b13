#pragma once
// A tab's folder as a row of columns: the folder first, and for each folder selected alone in a
// column, its entries in the next column; at the end, while one file is selected, a preview
// column. It is the view of a ColumnBrowserModel made for the tab's folder; the pane makes a
// new browser when the tab goes to another folder. Like the list, it holds no file logic: it
// turns clicks and keys into the model's select and open, keeps the tab told of the deepest
// selection and folder (the title line and the status bar read them), and hands file commands
// to the pane's PaneActions.
//
// Keys (a column has the keyboard): Up / Down and Home / End move in the focused column (Shift
// extends), Left / Right move between columns, Return opens. Every other key goes on to the
// window's shortcuts, the pane's commands among them, which act on the focused column's selection.

#include "columnbrowsermodel.h"
#include "fileitem.h"
#include "panecommands.h"
#include "viewenvironment.h"

#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

class FileTableModel;
class FileTableView;
class ListOverlay;
class PaneActions;
class PaneModel;
class PreviewColumnView;
class QFrame;
class QHBoxLayout;
class QKeyEvent;
class TabModel;
class TransferProgressRow;
struct Localization;

class ColumnBrowserView : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int columnWidth = 240;

    ColumnBrowserView(const ViewEnvironment &env, PaneModel *pane, TabModel *tab, PaneActions *actions,
                      QWidget *parent = nullptr);
    ~ColumnBrowserView() override;

    TabModel *tab() const { return m_tab; }
    ColumnBrowserModel *model() const { return m_model; }

    // Files are handed to their default application through this; tests replace it.
    void setFileOpener(std::function<void(const FilePath &)> opener) { m_openFile = std::move(opener); }

    // What the window's commands act on: the selected entries of the focused column, in column
    // order; pasted items go to the deepest folder shown.
    CommandTarget commandTarget();
    void focusActiveColumn();

    // For the pane and for tests: the parts the browser is made of.
    int columnCount() const { return int(m_lanes.size()); }
    FileTableView *columnList(int index) const;
    ListOverlay *columnOverlay(int index) const;
    // Null while no single file is selected.
    PreviewColumnView *previewColumn() const;
    TransferProgressRow *progressRow() const { return m_progress; }

Q_SIGNALS:
    void commandTargetChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The widgets of one column; a column keeps its place in the row for as long as it lives.
    struct Lane
    {
        FilePath url;
        FileTableView *list = nullptr;
        FileTableModel *rows = nullptr;
        ListOverlay *overlay = nullptr;
        QFrame *divider = nullptr;
        QList<FileItem> shownItems;
        QSet<FilePath> shownSelection;
    };

    void start();
    void syncColumns();
    void syncLane(int index);
    void addLane(int index);
    void removeLanesFrom(int index);
    void syncOverlay(int index);
    void syncPreview();
    void syncActiveColumn();
    void syncTitleSelection();
    void scrollToLastColumn();
    void placeProgressRow();
    void refreshFocus();
    void retranslate();
    const Localization &loc() const;

    void activatePane();
    void rowClicked(int index, int row, Qt::KeyboardModifiers modifiers);
    void rowDoubleClicked(int index, int row);
    void startDrag(int index, int row);
    void dropUrls(int index, const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers);
    void showContextMenu(int index, const QPoint &pos);
    using KeyCommand = std::function<void()>;
    KeyCommand keyCommand(const QKeyEvent *event);
    void moveSelection(int index, int delta, bool extend);
    void moveRight();
    void selectAllInActiveColumn();

    ViewEnvironment m_env;
    PaneModel *m_pane;
    QPointer<TabModel> m_tab;
    PaneActions *m_actions;
    ColumnBrowserModel *m_model;
    std::function<void(const FilePath &)> m_openFile;
    QWidget *m_row;
    QHBoxLayout *m_rowLayout;
    PreviewColumnView *m_preview;
    TransferProgressRow *m_progress;
    std::vector<Lane> m_lanes;
    std::optional<FilePath> m_cursor; // the entry last moved to or clicked
    bool m_started = false;
};
