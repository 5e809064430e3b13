// Preloaded by tst_renamefallback: stands in for a file system without no-replace renames
// (NFS, CIFS, many FUSE ones), where renameat2 with RENAME_NOREPLACE fails with EINVAL.

#include <cerrno>
#include <cstdio>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    if (flags & RENAME_NOREPLACE) {
        errno = EINVAL;
        return -1;
    }
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}
