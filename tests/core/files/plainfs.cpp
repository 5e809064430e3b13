// Preloaded by tst_renamefallback: stands in for file systems without the extras, such as NFS,
// CIFS, many FUSE ones and FAT sticks. Renames with RENAME_NOREPLACE fail with EINVAL, no hard
// link can be made, and no extended attribute can be set.

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
