#pragma once
// The pane's commands as actions a window shows: each is one QAction (its text, its keys, and
// whether it can run now) that the menu bar, the item context menu and the keyboard all use, so
// a key shown beside an entry does what the entry does, whichever view has the keyboard.
//
// A command acts on a target: the items chosen in the active pane (in listing order), the folder
// they are shown in and its tab. The window says where the target comes from and calls refresh()
// when it changes; while a context menu is open, the menu's items are the target instead.
//
// Most keys work wherever the keyboard is in the window. The plain keys a focused list uses for
// itself elsewhere (Delete, Space, F2, F3) act only while the keyboard is in a pane: the window
// adds the actions to its panes for that.

#include "contextmenuentry.h"
#include "fileitem.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include "filepath.h"

#include <functional>
#include <optional>

class AppSettings;
class PaneActions;
class QAction;
class TabModel;
class WorkspaceModel;

struct CommandTarget
{
    PaneActions *actions = nullptr; // none until the pane is first shown: nothing can run
    QPointer<TabModel> tab;
    QList<FileItem> items;
    FilePath directory;              // where pasted items go
    std::function<void()> selectAll; // selects all the view shows
    std::function<void()> showFilter; // opens the view's filter field, with the keyboard in it
    std::function<void()> find;       // opens the finder over the folder and what it holds
};

class PaneCommands : public QObject
{
    Q_OBJECT

public:
    using Command = ContextMenuEntry::Command;

    PaneCommands(WorkspaceModel *workspace, AppSettings *settings, QObject *parent = nullptr);

    // The action of a command; none for dividers and the Open With submenu.
    QAction *action(Command command) const;
    // All of them, in the order of the menus.
    QList<QAction *> actions() const;

    void setTargetSource(std::function<CommandTarget()> source);
    // Reads the target again and enables what can run on it.
    void refresh();
    // The target of an open context menu; none once it has closed.
    void setMenuTarget(const std::optional<CommandTarget> &target);

    // The context menu for `target`: what can run on it, in menu order, in groups, with the
    // Open With submenu first; on no items, the menu of the folder.
    QList<ContextMenuEntry> contextMenu(const CommandTarget &target);

    bool applies(Command command, const CommandTarget &target) const;
    void run(Command command, const CommandTarget &target);

private:
    CommandTarget target() const;
    void openTab(const CommandTarget &target);
    void retranslate();
    void refreshPaste();

    WorkspaceModel *m_workspace;
    AppSettings *m_settings;
    QMap<Command, QAction *> m_actions;
    std::function<CommandTarget()> m_source;
    std::optional<CommandTarget> m_menuTarget;
    bool m_canPaste = false;
};
