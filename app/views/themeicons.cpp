#include "themeicons.h"

#include "fileitem.h"
#include "iconcache.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QStyle>

#include <array>

namespace {

struct SymbolNames
{
    // Unused places stay null. (An initializer_list here would outlive its array.)
    std::array<const char *, 3> names;
    QStyle::StandardPixmap lastResort;
};

SymbolNames namesOf(ThemeIcons::Symbol symbol)
{
    using S = ThemeIcons::Symbol;
    switch (symbol) {
    case S::back: return {{"go-previous"}, QStyle::SP_ArrowBack};
    case S::forward: return {{"go-next"}, QStyle::SP_ArrowForward};
    case S::up: return {{"go-up"}, QStyle::SP_ArrowUp};
    case S::add: return {{"list-add"}, QStyle::SP_FileDialogNewFolder};
    case S::close: return {{"window-close", "window-close-symbolic"}, QStyle::SP_TitleBarCloseButton};
    case S::filter: return {{"view-filter", "edit-find"}, QStyle::SP_FileDialogContentsView};
    case S::hiddenShown: return {{"view-visible", "view-reveal"}, QStyle::SP_FileDialogInfoView};
    case S::hiddenConcealed: return {{"view-hidden", "view-conceal"}, QStyle::SP_FileDialogInfoView};
    case S::newFolder: return {{"folder-new"}, QStyle::SP_FileDialogNewFolder};
    case S::newFile: return {{"document-new"}, QStyle::SP_FileIcon};
    case S::columnView: return {{"view-file-columns", "view-split-left-right", "view-list-icons"}, QStyle::SP_FileDialogDetailedView};
    case S::listView: return {{"view-list-details", "view-list"}, QStyle::SP_FileDialogListView};
    case S::terminal: return {{"utilities-terminal"}, QStyle::SP_ComputerIcon};
    case S::rightPane: return {{"view-split-left-right", "view-dual"}, QStyle::SP_TitleBarNormalButton};
    case S::editPath: return {{"edit-rename", "insert-text", "document-edit"}, QStyle::SP_FileDialogDetailedView};
    case S::breadcrumbPath: return {{"view-list-tree", "folder-open"}, QStyle::SP_DirOpenIcon};
    case S::separator: return {{"go-next-symbolic", "go-next"}, QStyle::SP_ArrowRight};
    case S::bookmark: return {{"starred", "starred-symbolic", "emblem-favorite"}, QStyle::SP_DirLinkIcon};
    case S::pinned: return {{"window-pin", "view-pin", "window-keep-above"}, QStyle::SP_TitleBarShadeButton};
    case S::unpinned: return {{"pin", "window-unpin", "view-pin"}, QStyle::SP_TitleBarUnshadeButton};
    case S::home: return {{"user-home", "go-home"}, QStyle::SP_DirHomeIcon};
    case S::desktop: return {{"user-desktop"}, QStyle::SP_DesktopIcon};
    case S::documents: return {{"folder-documents"}, QStyle::SP_DirIcon};
    case S::downloads: return {{"folder-download", "folder-downloads"}, QStyle::SP_DirIcon};
    case S::applications: return {{"applications-all", "applications-other", "application-x-executable"}, QStyle::SP_DirIcon};
    case S::folder: return {{"folder"}, QStyle::SP_DirIcon};
    case S::file: return {{"text-x-generic", "application-octet-stream"}, QStyle::SP_FileIcon};
    case S::search: return {{"edit-find", "system-search"}, QStyle::SP_FileDialogContentsView};
    case S::arrowRight: return {{"arrow-right", "go-next"}, QStyle::SP_ArrowRight};
    case S::internalDrive: return {{"drive-harddisk"}, QStyle::SP_DriveHDIcon};
    case S::removableDrive: return {{"drive-removable-media-usb", "drive-removable-media"}, QStyle::SP_DriveFDIcon};
    case S::networkDrive: return {{"folder-network", "folder-remote", "network-server"}, QStyle::SP_DriveNetIcon};
    case S::eject: return {{"media-eject"}, QStyle::SP_MediaStop};
    }
    return {{"folder"}, QStyle::SP_DirIcon};
}

} // namespace

QIcon ThemeIcons::icon(Symbol symbol)
{
    static QHash<int, QIcon> made;
    const auto found = made.constFind(int(symbol));
    if (found != made.constEnd())
        return *found;
    const SymbolNames names = namesOf(symbol);
    QIcon result;
    for (const char *name : names.names) {
        if (!name)
            break;
        const QString themeName = QLatin1String(name);
        if (QIcon::hasThemeIcon(themeName)) {
            result = QIcon::fromTheme(themeName);
            break;
        }
    }
    if (result.isNull())
        result = QApplication::style()->standardIcon(names.lastResort);
    made.insert(int(symbol), result);
    return result;
}

QPixmap ThemeIcons::tinted(Symbol symbol, const QColor &colour, int size, qreal devicePixelRatio)
{
    QPixmap pixmap = icon(symbol).pixmap(QSize(size, size), devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    return pixmap;
}

QIcon ThemeIcons::placeIcon(const QString &systemImage)
{
    static const QHash<QString, Symbol> bySystemName{
        {QStringLiteral("house"), Symbol::home},
        {QStringLiteral("menubar.dock.rectangle"), Symbol::desktop},
        {QStringLiteral("doc"), Symbol::documents},
        {QStringLiteral("arrow.down.circle"), Symbol::downloads},
        {QStringLiteral("app"), Symbol::applications},
        {QStringLiteral("user-home"), Symbol::home},
        {QStringLiteral("user-desktop"), Symbol::desktop},
        {QStringLiteral("folder-documents"), Symbol::documents},
        {QStringLiteral("folder-download"), Symbol::downloads},
        {QStringLiteral("applications-other"), Symbol::applications},
        {QStringLiteral("applications-all"), Symbol::applications},
    };
    if (!bySystemName.contains(systemImage) && QIcon::hasThemeIcon(systemImage))
        return QIcon::fromTheme(systemImage);
    return icon(bySystemName.value(systemImage, Symbol::folder));
}

QIcon ThemeIcons::itemIcon(IconCache *cache, const FileItem &item)
{
    if (cache) {
        if (std::optional<QIcon> own = cache->icon(item.url))
            return *own;
    }
    return icon(item.isDirectory ? Symbol::folder : Symbol::file);
}
