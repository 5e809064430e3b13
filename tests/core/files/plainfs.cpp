// Preloaded by tst_renamefallback for file systems without the extras (network, many FUSE ones, FAT):
// RENAME_NOREPLACE fails with EINVAL, and no hard link or extended attribute can be made.

#include <cerrno>
#include <cstdio>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

extern "C" int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    if (flags & RENAME_NOREPLACE) {
        errno = EINVAL;
        return -1;
    }
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

extern "C" int linkat(int, const char *, int, const char *, int)
{
    errno = EPERM;
    return -1;
}

extern "C" int fsetxattr(int, const char *, const void *, size_t, int)
{
    errno = EOPNOTSUPP;
    return -1;
}
