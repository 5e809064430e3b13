#include "directorylister.h"

#include "dirstream.h"
#include "fileerror.h"
#include "filenames.h"
#include "namecollator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QDateTime modificationTime(const struct stat &st)
{
    const qint64 msecs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

FileItem itemFor(int dirFd, const char *entryName, const FilePath &folder)
{
    FileItem item;
    item.url = folder.pathAppended(QByteArrayView(entryName));
    item.name = FileNames::displayName(FileNames::decode(entryName));
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
FilePath folderToRead(const FilePath &url)
{
    struct stat st;
    if (::lstat(url.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return url.resolvingSymlinks();
    return url;
}

} // namespace

QList<FileItem> DirectoryLister::list(const FilePath &url, bool showHidden)
{
    const FilePath folder = folderToRead(url);
    DirStream dir = DirStream::open(folder.c_str());
    if (!dir.isOpen())
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), url.path());

    QList<FileItem> items;
    while (const dirent *entry = dir.next()) {
        if (entry->d_name[0] == '.' && !showHidden)
            continue;
        items.append(itemFor(dir.fd(), entry->d_name, folder));
    }
    if (dir.error() != 0)
        throw FileError::fromErrno(FileError::Operation::List, dir.error(), url.path());
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
