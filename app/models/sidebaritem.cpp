#include "sidebaritem.h"

#include <QDir>
#include <QHashFunctions>
#include <QStandardPaths>

#include <sys/stat.h>

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

QList<SidebarItem> SidebarItem::makeDefaults()
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
        const FilePath folder = FilePath::fromString(place.path);
        struct stat st;
        if (folder.isEmpty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        items.append({QUuid::createUuid(), place.label, folder, QString::fromLatin1(place.icon)});
    }
    return items;
}

const QList<SidebarItem> &SidebarItem::defaults()
{
    static const QList<SidebarItem> items = makeDefaults();
    return items;
}

size_t qHash(const SidebarItem &item, size_t seed)
{
    return qHashMulti(seed, item.id, static_cast<int>(item.label), item.url, item.systemImage);
}
