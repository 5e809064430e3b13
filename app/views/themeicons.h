#pragma once
// The icons of the window's buttons and places, from the freedesktop icon theme. Each symbol
// has a list of theme names tried in order and a style icon as the last resort, so a button
// never shows an empty square whatever theme the desktop has.

#include <QColor>
#include <QIcon>
#include <QPixmap>

class IconCache;
class FileItem;

class ThemeIcons
{
public:
    enum class Symbol {
        back,
        forward,
        up,
        add,
        close,
        filter,
        hiddenShown,
        hiddenConcealed,
        newFolder,
        newFile,
        columnView,
        listView,
        terminal,
        rightPane,
        editPath,
        breadcrumbPath,
        separator,
        bookmark,
        pinned,
        unpinned,
        home,
        desktop,
        documents,
        downloads,
        applications,
        folder,
        file,
        search,
        arrowRight,
        internalDrive,
        removableDrive,
        networkDrive,
        eject,
    };

    [[nodiscard]] static QIcon icon(Symbol symbol);
    // The symbol painted in one colour, for glyphs that take a text colour rather than the
    // theme's own (a dim magnifier, an arrow between two names).
    [[nodiscard]] static QPixmap tinted(Symbol symbol, const QColor &colour, int size, qreal devicePixelRatio = 1.0);
    // A place of the sidebar names its symbol by a free-form name (see SidebarItem); unknown
    // names give the folder icon.
    [[nodiscard]] static QIcon placeIcon(const QString &systemImage);
    // An item's own icon when `cache` has it; otherwise asks the cache for it (which announces
    // it once fetched) and gives the generic folder or file icon meanwhile.
    [[nodiscard]] static QIcon itemIcon(IconCache *cache, const FileItem &item);
};
