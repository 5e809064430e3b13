#include "directorylister.h"

#include "dirstream.h"
#include "fileerror.h"
#include "filenames.h"
#include "namecollator.h"
#include "urls.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QDateTime modificationTime(const struct stat &st)
{
    const qint64 msecs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

FileItem itemFor(int dirFd, const char *entryName, const QString &folderPath)
{
    const QString name = FileNames::decode(entryName);
    FileItem item;
    item.url = QUrl::fromLocalFile(folderPath + name);
    item.name = FileNames::displayName(name);
    struct stat st;
    if (::fstatat(dirFd, entryName, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return item; // unreadable metadata: listed with defaults
    item.isSymbolicLink = S_ISLNK(st.st_mode);
    item.size = S_ISDIR(st.st_mode) ? 0 : qint64(st.st_size);
    item.modificationDate = modificationTime(st);
    if (item.isSymbolicLink) {
        struct stat target;
        item.isDirectory = ::fstatat(dirFd, entryName, &target, 0) == 0 && S_ISDIR(target.st_mode);
    } else {
        item.isDirectory = S_ISDIR(st.st_mode);
    }
    return item;
}

// A folder reached through a link is read at its resolved place, so entries carry that path.
QUrl folderToRead(const QUrl &url)
{
    struct stat st;
    if (::lstat(Urls::encodedPath(url).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return Urls::resolvingSymlinks(url);
    return url;
}

} // namespace

QList<FileItem> DirectoryLister::list(const QUrl &url, bool showHidden)
{
    const QUrl folder = folderToRead(url);
    const QByteArray encoded = Urls::encodedPath(folder);
    DirStream dir = DirStream::open(encoded.constData());
    if (!dir.isOpen())
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), Urls::path(url));

    QString prefix = Urls::path(folder);
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    QList<FileItem> items;
    while (const dirent *entry = dir.next()) {
        if (entry->d_name[0] == '.' && !showHidden)
            continue;
        items.append(itemFor(dir.fd(), entry->d_name, prefix));
    }
    if (dir.error() != 0)
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), Urls::path(url));
    sortForDisplay(items);
    return items;
}

void DirectoryLister::sortForDisplay(QList<FileItem> &items)
{
    QList<QString> names;
    names.reserve(items.size());
    for (const FileItem &item : items)
        names.append(item.name);
    const QList<qsizetype> byName = NameCollator().sortedOrder(names);
    QList<FileItem> sorted;
    sorted.reserve(items.size());
    for (bool folders : {true, false})
        for (qsizetype index : byName)
            if (items[index].isDirectory == folders)
                sorted.append(items[index]);
    items = std::move(sorted);
}
