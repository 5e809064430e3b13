#pragma once
// The Open With submenu of the item context menu: the applications that open the selected
// items' type, the user's default first (marked so), then "Other Application…". Choosing one
// starts it detached with the items as its desktop entry asks for them.

#include "applicationregistry.h"
#include "contextmenuentry.h"
#include "fileitem.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class Localization;

class OpenWithMenu
{
public:
    // The type an item is opened as: folders are "inode/directory", files are known by name
    // only (reading contents is no business of a menu).
    [[nodiscard]] static QString mimeTypeOf(const FileItem &item);

    // `launchFailed` gets the message for an application that couldn't be started, while
    // `context` lives; `chooseOther` is what "Other Application…" does.
    [[nodiscard]] static ContextMenuEntry entry(const QList<FileItem> &items, const ApplicationRegistry &registry,
                                                const Localization &loc, QObject *context,
                                                std::function<void(const QString &)> launchFailed,
                                                std::function<void()> chooseOther);

    // Starts `application` with the items; `onFailure` runs once, later on this thread while
    // `context` lives, when it couldn't be started.
    static void open(const QList<FileItem> &items, const DesktopEntry &application, QObject *context,
                     std::function<void()> onFailure);
};
