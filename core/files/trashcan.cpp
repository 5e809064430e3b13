#include "trashcan.h"

#include "fileerror.h"
#include "filecopier.h"
#include "filenames.h"
#include "filepath.h"
#include "nameconflicts.h"
#include "posixfs.h"
#include "uniquefd.h"
#include "urls.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Op = FileError::Operation;

// The device a path lives on, or would live on once created: that of its nearest existing folder.
dev_t deviceOf(QString path)
{
    struct stat st;
    while (::stat(FileNames::encode(path).constData(), &st) != 0) {
        if (path == QLatin1String("/"))
            return 0;
        path = Urls::parentPath(path);
    }
    return st.st_dev;
}

// A private folder of ours: created 0700 when missing; an existing one must be a real folder
// (not a link) owned by us. Returns 0 or an errno value.
int ensurePrivateFolder(const QString &path)
{
    if (::mkdir(FileNames::encode(path).constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat st;
    if (::lstat(FileNames::encode(path).constData(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    return st.st_uid == ::geteuid() ? 0 : EACCES;
}

int ensureTrashFolders(const QString &trash)
{
    for (const QString &path : {trash, QString(trash + QStringLiteral("/files")), QString(trash + QStringLiteral("/info"))})
        if (const int err = ensurePrivateFolder(path))
            return err;
    return 0;
}

// Mount points in /proc/self/mountinfo escape blanks and backslashes as \ooo.
QString unescapeMountPath(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return FileNames::decode(out);
}

// The top of the mount that holds `path` (a resolved path): the longest mount point above it.
// Bind mounts count as mounts of their own, since renames can't cross them either.
QString mountPointOf(const QString &path)
{
    QFile mounts(QStringLiteral("/proc/self/mountinfo")); // not a user's path
    QString best = QStringLiteral("/");
    if (!mounts.open(QIODevice::ReadOnly))
        return best;
    for (const QByteArray &line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        const QString point = unescapeMountPath(fields[4]);
        if (point.size() > best.size() && Urls::isSameOrInside(path, point))
            best = point;
    }
    return best;
}

struct TrashFolder
{
    QString path;
    QString topdir; // empty for the home Trash, whose records hold absolute paths
};

TrashFolder volumeTrash(const QString &item)
{
    const QString top = mountPointOf(item);
    const QString uid = QString::number(::geteuid());
    // A shared .Trash counts only when it is a real folder with the sticky bit, so other users
    // can't swap or empty our part of it.
    struct stat st;
    const QString shared = Urls::childPath(top, QStringLiteral(".Trash"));
    if (::lstat(FileNames::encode(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = Urls::childPath(shared, uid);
        if (ensureTrashFolders(mine) == 0)
            return {mine, top};
    }
    const QString own = Urls::childPath(top, QStringLiteral(".Trash-") + uid);
    if (const int err = ensureTrashFolders(own))
        throw FileError(Op::Trash, err, item, ErrorNote(ErrorNote::Kind::noVolumeTrash));
    return {own, top};
}

TrashFolder trashFor(const QString &item, dev_t device)
{
    const QString home = TrashCan::homeTrash();
    if (deviceOf(home) != device)
        return volumeTrash(item);
    if (!PosixFs::makePath(Urls::parentPath(home)))
        throw FileError(Op::Trash, EACCES, item, ErrorNote(ErrorNote::Kind::trashNotMade));
    if (const int err = ensureTrashFolders(home))
        throw FileError(Op::Trash, err, item, ErrorNote(ErrorNote::Kind::trashNotUsable));
    return {home, {}};
}

// Names in the Trash get ".trashinfo" and maybe ".NNN" added; keep them within NAME_MAX.
QString fittingName(QString name)
{
    while (FileNames::encode(name).size() > 200) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return name;
}

QString numberedName(const QString &name, int k)
{
    if (k == 1)
        return name;
    const auto [base, extension] = FileNames::splitExtension(name);
    QString numbered = base + QLatin1Char('.') + QString::number(k);
    if (!extension.isEmpty())
        numbered += QLatin1Char('.') + extension;
    return numbered;
}

QByteArray recordFor(const QString &item, const TrashFolder &trash)
{
    const QString stored = trash.topdir.isEmpty() ? item : item.mid(Urls::childPath(trash.topdir, QString()).size());
    QByteArray record("[Trash Info]\nPath=");
    record += FileNames::encode(stored).toPercentEncoding("/");
    record += "\nDeletionDate=";
    record += QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1();
    record += '\n';
    return record;
}

int writeAll(int fd, const QByteArray &data)
{
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

QString infoPath(const QString &trash, const QString &name)
{
    return trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
}

// Writes the record under the first NAME free in both info/ and files/; returns NAME. The
// exclusive create is what reserves the name against another program trashing at the same time.
QString writeRecord(const QString &item, const TrashFolder &trash)
{
    const QString name = fittingName(Urls::fileName(item));
    const QByteArray record = recordFor(item, trash);
    for (int k = 1;; ++k) {
        const QString candidate = numberedName(name, k);
        const QString info = infoPath(trash.path, candidate);
        const int fd =
            ::open(FileNames::encode(info).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            throw FileError::fromErrno(Op::Trash, errno, item);
        int err = PosixFs::occupied(Urls::childPath(trash.path + QStringLiteral("/files"), candidate)) ? EEXIST : 0;
        if (err == 0)
            err = writeAll(fd, record);
        if (::close(fd) != 0 && err == 0)
            err = errno;
        if (err == 0)
            return candidate;
        ::unlink(FileNames::encode(info).constData());
        if (err != EEXIST)
            throw FileError::fromErrno(Op::Trash, err, item);
    }
}

// A record is a small regular file; anything else (a pipe someone put there) is not read.
QByteArray readSmallFile(const QString &path, int &err)
{
    err = 0;
    const UniqueFd file(::open(FileNames::encode(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!file.valid() || ::fstat(file.get(), &st) != 0) {
        err = errno;
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        err = EINVAL;
        return {};
    }
    QByteArray bytes(64 * 1024, Qt::Uninitialized);
    const ssize_t got = ::read(file.get(), bytes.data(), size_t(bytes.size()));
    if (got < 0) {
        err = errno;
        return {};
    }
    bytes.truncate(got);
    return bytes;
}

QString realPathOf(const QString &path)
{
    return FilePath::fromString(path).resolvingSymlinks().path();
}

// A per-volume Trash may come on a stick anyone prepared: the folder an item goes back to must
// lie on that volume once links are resolved, both before its missing folders are made and after.
void requireOnVolume(const QString &folder, const QString &top, const QString &trashed)
{
    if (top.isEmpty())
        return;
    if (!Urls::isSameOrInside(realPathOf(folder), realPathOf(top)))
        throw FileError(Op::Restore, EXDEV, trashed, ErrorNote(ErrorNote::Kind::outsideVolume));
}

// The Path= value of a record, decoded; empty when the record is malformed.
QString recordedPath(const QByteArray &record)
{
    bool inGroup = false;
    for (QByteArray line : record.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('['))
            inGroup = line == "[Trash Info]";
        else if (inGroup && line.startsWith("Path="))
            return FileNames::decode(QByteArray::fromPercentEncoding(line.mid(5)));
    }
    return {};
}

// The volume top a per-volume Trash belongs to; empty for the home Trash.
QString topdirOf(const QString &trash)
{
    if (Urls::fileName(trash).startsWith(QLatin1String(".Trash-")))
        return Urls::parentPath(trash);
    if (Urls::fileName(Urls::parentPath(trash)) == QLatin1String(".Trash"))
        return Urls::parentPath(Urls::parentPath(trash));
    return {};
}

// Where a record says its item came from; a relative path may not climb out of its volume.
QString originalPlace(const QString &recorded, const QString &trash, const QString &trashed)
{
    const auto refuse = [&] {
        return FileError(Op::Restore, EINVAL, trashed, ErrorNote(ErrorNote::Kind::noOriginalPlace));
    };
    if (recorded.isEmpty())
        throw refuse();
    const QString top = topdirOf(trash);
    if (recorded.startsWith(QLatin1Char('/')) && top.isEmpty())
        return FilePath::fromString(recorded).cleanPath().path();
    if (top.isEmpty())
        throw refuse();
    const QString place = FilePath::fromString(recorded, FilePath::fromString(top)).cleanPath().path();
    if (place == top || !Urls::isSameOrInside(place, top))
        throw refuse();
    return place;
}

// Writes the record, then moves the item beside it; without the item the record goes again.
QString trashInto(const QString &item, const QString &givenPath, const TrashFolder &trash)
{
    const QString name = writeRecord(item, trash);
    const QString trashed = Urls::childPath(trash.path + QStringLiteral("/files"), name);
    try {
        PosixFs::renameNoReplace(item, trashed, Op::Trash, givenPath);
    } catch (const FileError &) {
        ::unlink(FileNames::encode(infoPath(trash.path, name)).constData());
        throw;
    }
    return trashed;
}

} // namespace

QString TrashCan::homeTrash()
{
    QString data = FileNames::decode(qgetenv("XDG_DATA_HOME"));
    if (!data.startsWith(QLatin1Char('/')))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return FilePath::fromString(data).cleanPath().pathAppended(QByteArrayView("Trash")).path();
}

QString TrashCan::moveToTrash(const QString &path)
{
    struct stat st;
    if (::lstat(FileNames::encode(path).constData(), &st) != 0)
        throw FileError::fromErrno(Op::Trash, errno, path);
    // The record names the item's real place, so the volume's top is a prefix of it.
    const QString folder = realPathOf(Urls::parentPath(path));
    const QString item = Urls::childPath(folder, Urls::fileName(path));
    const TrashFolder trash = trashFor(item, st.st_dev);
    try {
        return trashInto(item, path, trash);
    } catch (const FileError &error) {
        // A bind mount shares the home Trash's device, yet renames can't leave it.
        if (error.code() != EXDEV || !trash.topdir.isEmpty())
            throw;
        return trashInto(item, path, volumeTrash(item));
    }
}

QString TrashCan::restore(const QString &trashedPath)
{
    const QString files = Urls::parentPath(trashedPath);
    if (Urls::fileName(files) != QLatin1String("files"))
        throw FileError(Op::Restore, EINVAL, trashedPath, ErrorNote(ErrorNote::Kind::notInTrash));
    const QString trash = Urls::parentPath(files);
    const QString info = infoPath(trash, Urls::fileName(trashedPath));
    int err = 0;
    const QByteArray record = readSmallFile(info, err);
    if (err != 0)
        throw FileError(Op::Restore, err, trashedPath, ErrorNote(ErrorNote::Kind::recordUnreadable));
    const QString original = originalPlace(recordedPath(record), trash, trashedPath);
    if (PosixFs::occupied(original))
        throw FileError(Op::Restore, EEXIST, original, ErrorNote(ErrorNote::Kind::staysInTrash));
    // The folder it came from may have been deleted since; recreate it rather than refuse.
    const QString folder = Urls::parentPath(original);
    QString existing = folder;
    while (!PosixFs::occupied(existing) && existing != QLatin1String("/"))
        existing = Urls::parentPath(existing);
    requireOnVolume(existing, topdirOf(trash), trashedPath);
    if (!PosixFs::makePath(folder)) {
        const int err = errno;
        // The first item on the way down that exists is not a folder: a file now sits there.
        if (PosixFs::occupied(existing) && !PosixFs::isDirectory(existing))
            throw FileError(Op::Restore, ENOTDIR, original,
                            ErrorNote(ErrorNote::Kind::inTheWay, {existing}));
        throw FileError(Op::Restore, err, original, ErrorNote(ErrorNote::Kind::folderNotRecreated));
    }
    requireOnVolume(folder, topdirOf(trash), trashedPath);
    try {
        FileCopier::move(trashedPath, original, Op::Restore);
    } catch (const FileError &error) {
        throw FileError(Op::Restore, error.code(), original, error.notes());
    }
    ::unlink(FileNames::encode(info).constData()); // a stale record would only list a missing item
    return original;
}
