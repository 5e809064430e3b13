#pragma once
// One entry of an item context menu, as data: the command layer decides which entries a menu
// has, in which order, and what each does; the views only turn the list into a QMenu.

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
        compress,
        extract,
        revealInFileManager,
        openWith,            // a submenu
        openWithApplication,
        openWithOther,
    };

    Command command = Command::divider;
    QString text;                 // empty for a divider
    std::function<void()> action; // empty for a divider and a submenu
    QString iconName;             // a freedesktop icon name, or empty
    QList<ContextMenuEntry> submenu;

    static ContextMenuEntry divider() { return {}; }
    bool isDivider() const { return command == Command::divider; }
};
