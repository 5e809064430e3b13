#pragma once
// The list of one pane: the active tab's folder as a sortable table (name, size, date modified),
// with the quick filter above it, status overlays over it and the file jobs' progress row at its
// foot. It holds no file logic: it reads the tab, changes its navigation, selection, sort order
// and filter, and hands every command that changes files to the pane's PaneActions.
//
// Keys (the table has the keyboard): Return opens, Backspace and Alt+Up go up, Ctrl+T/W open and
// close a tab, Ctrl+F filters, Ctrl+P finds. Every other key goes on to the table and to the
// window's shortcuts, the pane's commands among them (PaneCommands), which act on the selection.

#include "panecommands.h"
#include "fileitem.h"
#include "fuzzyfinderpalette.h"
#include "tabmodel.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QIcon>
#include <QKeySequence>
#include <QSet>
#include <QTimer>
#include "filepath.h"
#include <QWidget>

#include <functional>
#include <optional>

class FileTableModel;
class FileTableView;
class ListOverlay;
class PaneActions;
class PaneModel;
class QKeyEvent;
class QLabel;
class QLineEdit;
class TransferProgressRow;
struct Localization;

class FileListView : public QWidget
{
    Q_OBJECT

public:
    FileListView(const ViewEnvironment &env, PaneModel *pane, PaneActions *actions, QWidget *parent = nullptr);
    ~FileListView() override;

    void setTab(TabModel *tab);
    TabModel *tab() const { return m_tab; }

    // Files are handed to their default application through this; tests replace it.
    void setFileOpener(std::function<void(const FilePath &)> opener) { m_openFile = std::move(opener); }

    // What the window's commands act on while this list is shown: its tab's selection.
    CommandTarget commandTarget();
    void openFuzzyFinder();
    void openFilter();
    void revealFromFuzzy(const FileItem &item);
    // Selects the item of the tab's folder once a listing holds it, and scrolls to it.
    void reveal(const FilePath &url);

    // For the window and for tests: the parts this view is made of.
    FileTableView *table() const { return m_table; }
    FileTableModel *tableModel() const { return m_model; }
    QLineEdit *filterField() const { return m_filterField; }
    QWidget *filterBar() const { return m_filterBar; }
    // Says where a drag over the list would land and whether it copies or moves.
    QLabel *dropHint() const { return m_dropHint; }
    TransferProgressRow *progressRow() const { return m_progress; }
    FuzzyFinderPalette *fuzzyFinder() const { return m_palette; }

Q_SIGNALS:
    void commandTargetChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectEnvironment();
    void applyTheme();
    void sizeColumns();
    void connectTab();
    void retranslate();
    const Localization &loc() const;

    void refreshRows();
    void refreshSelection();
    void refreshSortIndicator();
    void refreshFilterBar();
    void refreshOverlay();
    void refreshCut();
    void refreshFont();
    void refreshFocus();
    void selectionEdited();
    void sortHeaderClicked(int section);

    void activatePane();
    void selectNameCell(int row, Qt::KeyboardModifiers modifiers);
    void openItem(const FileItem &item);
    void openRow(int row);
    using KeyCommand = std::function<void()>;
    KeyCommand keyCommand(const QKeyEvent *event);
    void selectAll();
    void goUp();
    void closeFilter();
    void leaveFilter(bool open);
    void startDrag(int row);
    void dropUrls(const QList<FilePath> &urls, int row, Qt::KeyboardModifiers modifiers);
    void showDropHint(int row, Qt::DropAction action);
    void showContextMenu(const QPoint &pos);
    void closeFuzzyFinder();
    void applyPendingReveal();
    std::optional<FileItem> previewItem() const;

    ViewEnvironment m_env;
    PaneModel *m_pane;
    PaneActions *m_actions;
    QPointer<TabModel> m_tab;
    std::function<void(const FilePath &)> m_openFile;

    FileTableModel *m_model;
    FileTableView *m_table;
    QWidget *m_filterBar;
    QLineEdit *m_filterField;
    ListOverlay *m_overlay;
    QLabel *m_dropHint;
    TransferProgressRow *m_progress;
    QPointer<FuzzyFinderPalette> m_palette;

    std::optional<FilePath> m_anchor;         // the anchor of Shift-click ranges
    std::optional<FilePath> m_pendingReveal;  // an item to select once listed
    bool m_syncingSelection = false;
};
