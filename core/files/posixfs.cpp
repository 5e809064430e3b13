#include "posixfs.h"

#include "filenames.h"
#include "urls.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

bool PosixFs::occupied(const QString &path)
{
    struct stat st;
    return ::lstat(FileNames::encode(path).constData(), &st) == 0;
}

bool PosixFs::isDirectory(const QString &path)
{
    struct stat st;
    return ::stat(FileNames::encode(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFs::makePath(const QString &path)
{
    if (isDirectory(path))
        return true;
    const QString parent = Urls::parentPath(path);
    if (parent != path && !makePath(parent))
        return false;
    return ::mkdir(FileNames::encode(path).constData(), 0777) == 0 || (errno == EEXIST && isDirectory(path));
}

UniqueFd PosixFs::openParentFolder(const QString &path)
{
    return UniqueFd(::open(FileNames::encode(Urls::parentPath(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

int PosixFs::renameNoReplaceAt(int fromDir, const char *from, int toDir, const char *to)
{
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    // Some file systems (NFS, CIFS, many FUSE ones) don't know the no-replace flag.
    struct stat st;
    if (err != EINVAL || ::fstatat(fromDir, from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return err;
    return S_ISDIR(st.st_mode) ? renamePlainly(fromDir, from, toDir, to) : relinkFile(fromDir, from, toDir, to, st);
}

// A plain rename of a folder fails on a file and on a folder with anything in it; all it can
// replace is an empty folder. So once the name is seen free, the worst a race can cost is an
// empty folder that appeared in the instant between: no data. A file has no such bound, and
// comes here only where the file system leaves no other way.
int PosixFs::renamePlainly(int fromDir, const char *from, int toDir, const char *to)
{
    struct stat st;
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    if (::renameat(fromDir, from, toDir, to) == 0)
        return 0;
    return errno == ENOTEMPTY || errno == ENOTDIR || errno == EISDIR ? EEXIST : errno;
}

// A file is moved without replacing anything by a new link, which fails on a taken name, and
// only then the removal of the old name. File systems without hard links (phones, cloud
// mounts) get the checked plain rename.
int PosixFs::relinkFile(int fromDir, const char *from, int toDir, const char *to, const struct stat &st)
{
    if (::linkat(fromDir, from, toDir, to, 0) != 0) {
        const int err = errno;
        if (err == EPERM || err == ENOSYS || err == EOPNOTSUPP || err == EMLINK)
            return renamePlainly(fromDir, from, toDir, to);
        return err;
    }
    if (::unlinkat(fromDir, from, 0) != 0) {
        const int unlinkErr = errno;
        // Take the new name back, but only while it still is this very file.
        struct stat placed;
        if (::fstatat(toDir, to, &placed, AT_SYMLINK_NOFOLLOW) == 0 && placed.st_dev == st.st_dev
            && placed.st_ino == st.st_ino)
            ::unlinkat(toDir, to, 0);
        return unlinkErr;
    }
    return 0;
}

void PosixFs::renameNoReplace(const QString &from, const QString &to, FileError::Operation operation,
                              const QString &errorPath)
{
    const int err = renameNoReplaceAt(AT_FDCWD, FileNames::encode(from).constData(), AT_FDCWD,
                                      FileNames::encode(to).constData());
    if (err != 0)
        throw FileError::fromErrno(operation, err, errorPath.isEmpty() ? from : errorPath);
}
