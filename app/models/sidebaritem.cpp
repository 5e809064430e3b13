#include "sidebaritem.h"

#include "filesystemservice.h"

#include <QDir>
#include <QHashFunctions>
#include <QStandardPaths>

namespace {

// The folder of an XDG location, or empty. Where a user folder is switched off in
// user-dirs.dirs it points at the home folder itself, which is not a place of its own.
QString userFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || FilePath::fromString(path).cleanPath() == FilePath::fromString(QDir::homePath()).cleanPath())
        return {};
    return path;
}

} // namespace

QList<SidebarItem> SidebarItem::candidates()
{
    const struct
    {
        SidebarLabel label;
        QString path;
        const char *icon;
    } places[] = {
        {SidebarLabel::home, QDir::homePath(), "user-home"},
        {SidebarLabel::desktop, userFolder(QStandardPaths::DesktopLocation), "user-desktop"},
        {SidebarLabel::documents, userFolder(QStandardPaths::DocumentsLocation), "folder-documents"},
        {SidebarLabel::downloads, userFolder(QStandardPaths::DownloadLocation), "folder-download"},
        {SidebarLabel::applications, QStringLiteral("/usr/share/applications"), "applications-all"},
    };
    QList<SidebarItem> items;
    for (const auto &place : places) {
        if (!place.path.isEmpty())
            items.append({QUuid::createUuid(), place.label, FilePath::fromString(place.path), QString::fromLatin1(place.icon)});
    }
    return items;
}

bool SidebarItem::exists() const
{
    return FileSystemService().isFolder(url);
}

size_t qHash(const SidebarItem &item, size_t seed)
{
    return qHashMulti(seed, item.id, static_cast<int>(item.label), item.url, item.systemImage);
}
