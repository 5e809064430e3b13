#pragma once
// The root of a window's state: two panes (left and right) with one of them active, the
// hidden-entries switch, the files last copied or cut in the program, the URLs of a drag in
// progress, and the window's undo history.
//
// The program's clipboard is tied to the system clipboard. A copy or a cut writes the files
// there too, in the forms other Linux file managers read (so they paste our cut as a move).
// When pasting, our own clipboard is used while nobody has written to the system clipboard
// since, or while it still holds the same files; otherwise what the system clipboard holds is
// pasted, as a move when its writer marked it as a cut.

#include "fileclipboard.h"
#include "futureowner.h"
#include "panemodel.h"
#include "sidebaritem.h"

#include <QList>
#include <QObject>
#include <QSet>
#include "filepath.h"
#include <QUuid>

#include <optional>

class QClipboard;
class UndoCoordinator;

class WorkspaceModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<PaneModel *> panes READ panes CONSTANT)
    Q_PROPERTY(PaneModel *leftPane READ leftPane CONSTANT)
    Q_PROPERTY(PaneModel *rightPane READ rightPane CONSTANT)
    Q_PROPERTY(QUuid activePaneID READ activePaneID WRITE setActivePaneID NOTIFY activePaneIDChanged)
    Q_PROPERTY(PaneModel *activePane READ activePane NOTIFY activePaneIDChanged)
    Q_PROPERTY(bool showHidden READ showHidden WRITE setShowHidden NOTIFY showHiddenChanged)
    Q_PROPERTY(QList<FilePath> draggingURLs READ draggingURLs WRITE setDraggingURLs NOTIFY draggingURLsChanged)

public:
    // The left pane opens the home folder, the right one the Documents folder (the home folder
    // when there is none); the left pane is active.
    explicit WorkspaceModel(bool showHidden, QObject *parent = nullptr);
    ~WorkspaceModel() override;

    const QList<PaneModel *> &panes() const { return m_panes; }
    PaneModel *leftPane() const { return m_panes.at(0); }
    PaneModel *rightPane() const { return m_panes.at(1); }
    QUuid activePaneID() const { return m_activePaneID; }
    void setActivePaneID(const QUuid &id);
    // The active pane; the first pane when no pane has activePaneID.
    PaneModel *activePane() const;
    // The pane that is not `pane`.
    PaneModel *otherPane(const PaneModel *pane) const;
    // Moves the focus by `offset` panes (-1 left, +1 right); nothing happens past either end.
    void focusAdjacentPane(int offset);

    // Every tab showing `root` or a folder inside it goes to the home folder: the volume
    // mounted there has gone.
    void leaveFolder(const FilePath &root);

    // The fixed places of the sidebar whose folders exist, in order; they come in as they are
    // found.
    const QList<SidebarItem> &sidebarItems() const { return m_sidebarItems; }

    // A plain stored switch: the window copies the user's setting into it and into the tabs.
    bool showHidden() const { return m_showHidden; }
    void setShowHidden(bool show);

    const QList<FilePath> &draggingURLs() const { return m_draggingURLs; }
    void setDraggingURLs(const QList<FilePath> &urls);

    // The window's one undo history; lives as long as the workspace.
    UndoCoordinator *undo() const { return m_undo; }

    // --- clipboard ---
    const std::optional<FileClipboard> &clipboard() const { return m_clipboard; }
    // The paste command clears it after starting a move.
    void setClipboard(const std::optional<FileClipboard> &clipboard);
    // The system clipboard's change count right after this program last wrote files to it.
    int clipboardChangeCount() const { return m_clipboardChangeCount; }

    // Put the selection of the active tab of the active pane on the clipboard.
    void copySelection();
    void cutSelection();
    // Puts `urls` on the clipboard and on the system clipboard; nothing happens when empty.
    void writeClipboard(const QList<FilePath> &urls, ClipboardOperation operation);
    // What a paste should use: our clipboard while it is current, otherwise the files on the
    // system clipboard; none when there are none.
    std::optional<FileClipboard> effectivePasteSource() const;
    // True when the clipboard holds a cut of `url`; list views dim such items.
    bool isCut(const FilePath &url) const;
    // Puts the active selection's paths on the system clipboard as shell-ready text; the
    // program's clipboard stays as it is.
    void copyActiveSelectionPaths();

Q_SIGNALS:
    void activePaneIDChanged();
    void showHiddenChanged();
    void draggingURLsChanged();
    void clipboardChanged();
    void sidebarItemsChanged();

private:
    void findPlaces();
    QList<FilePath> activeSelection() const;
    // Raised on every change of the system clipboard, by this or any program.
    int systemChangeCount() const { return m_systemChangeCount; }

    QList<PaneModel *> m_panes;
    QList<SidebarItem> m_sidebarItems;
    QUuid m_activePaneID;
    bool m_showHidden = false;
    std::optional<FileClipboard> m_clipboard;
    QSet<FilePath> m_cutUrls; // of m_clipboard when it is a cut: list views ask for every row they paint
    QList<FilePath> m_draggingURLs;
    int m_clipboardChangeCount = 0;
    int m_systemChangeCount = 0;
    UndoCoordinator *m_undo = nullptr;
    QClipboard *m_system = nullptr; // none without a GUI application (command-line tools)
    // Last: looks that never came back are let go of before anything else goes.
    FutureOwner m_tasks{FutureOwner::Teardown::letRunOut};
};
