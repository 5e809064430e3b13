#pragma once
// One entry of an item context menu, as data: the command layer decides which entries a menu
// has and in which order; the views turn the list into a QMenu. An entry of a command is shown
// as that command's action (PaneCommands); the entries of the Open With submenu, which differ
// from item to item, carry what they do themselves.

#include <QList>
#include <QString>

#include <functional>

struct ContextMenuEntry
{
    enum class Command {
        divider,
        newFolder,
        newFile,
        paste,
        copyPath,
        copy,
        cut,
        copyToOtherPane,
        moveToOtherPane,
        duplicate,
        bulkRename,
        getInfo,
        preview,
        rename,
        moveToTrash,
        deletePermanently,
        compress,
        extract,
        revealInFileManager,
        openWith,            // a submenu
        openWithApplication,
        openWithOther,
        selectAll,
        newTab,
        closeTab,
        filter,
        find,
    };

    Command command = Command::divider;
    QString text;                 // empty for a divider
    std::function<void()> action; // only in the Open With submenu
    QString iconName;             // a freedesktop icon name, or empty
    QList<ContextMenuEntry> submenu;

    static ContextMenuEntry divider() { return {}; }
    bool isDivider() const { return command == Command::divider; }
};
