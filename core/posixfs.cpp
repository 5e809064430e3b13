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

UniqueFd PosixFs::openParentFolder(const QString &path)
{
    return UniqueFd(::open(FileNames::encode(Urls::parentPath(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

void PosixFs::renameNoReplace(const QString &from, const QString &to, FileError::Operation operation,
                              const QString &errorPath)
{
    if (::renameat2(AT_FDCWD, FileNames::encode(from).constData(), AT_FDCWD, FileNames::encode(to).constData(),
                    RENAME_NOREPLACE) == 0)
        return;
    throw FileError::fromErrno(operation, errno, errorPath.isEmpty() ? from : errorPath);
}
