// Preloaded by tst_hungpath: every file-system call on a path under $HANGFS_PREFIX waits
// $HANGFS_MS milliseconds (5,000 unless set) before it is made, as on a network mount that
// stopped answering. Calls relative to a folder descriptor count when that folder lies there.
// Such calls made on the process's main thread are counted (hangfs_main_thread_calls) and
// named on standard error, so a test can tell which one froze the window.

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

char prefix[PATH_MAX];
size_t prefixLength = 0;
long delayMs = 5000;
std::atomic_int mainThreadCalls = 0;
pid_t ourPid = 0;

__attribute__((constructor)) void readSettings()
{
    ourPid = ::getpid();
    if (const char *marked = std::getenv("HANGFS_PREFIX"); marked && std::strlen(marked) < sizeof prefix) {
        std::strcpy(prefix, marked);
        prefixLength = std::strlen(prefix);
    }
    if (const char *ms = std::getenv("HANGFS_MS"))
        delayMs = std::atol(ms);
}

bool under(const char *path)
{
    return prefixLength > 0 && path && std::strncmp(path, prefix, prefixLength) == 0
           && (path[prefixLength] == '\0' || path[prefixLength] == '/');
}

// The folder a descriptor (or the working folder) stands for, read without any call this file
// replaces.
bool folderUnder(int dirFd)
{
    char link[64];
    std::snprintf(link, sizeof link, dirFd == AT_FDCWD ? "/proc/self/cwd" : "/proc/self/fd/%d", dirFd);
    char target[PATH_MAX];
    const long length = ::syscall(SYS_readlinkat, AT_FDCWD, link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    return under(target);
}

void stallAt(int dirFd, const char *path, const char *call)
{
    if (!path || !(path[0] == '/' ? under(path) : folderUnder(dirFd)))
        return;
    // A child forked to start a program waits on its own, out of the window's way.
    if (::syscall(SYS_gettid) == ourPid) {
        ++mainThreadCalls;
        std::fprintf(stderr, "hangfs: %s(\"%s\") on the main thread\n", call, path);
    }
    const struct timespec wait{delayMs / 1000, (delayMs % 1000) * 1000000};
    ::nanosleep(&wait, nullptr);
}

} // namespace

#define AT_CALL(ret, name, params, args, dirFd, path)                                                                  \
    extern "C" ret name params                                                                                         \
    {                                                                                                                  \
        stallAt(dirFd, path, #name);                                                                                   \
        static const auto next = reinterpret_cast<ret(*) params>(::dlsym(RTLD_NEXT, #name));                           \
        return next args;                                                                                              \
    }
#define PATH_CALL(ret, name, params, args, path) AT_CALL(ret, name, params, args, AT_FDCWD, path)
// The open family passes a mode on only when it creates.
#define OPEN_CALL(name, params, args, dirFd)                                                                           \
    extern "C" int name params                                                                                         \
    {                                                                                                                  \
        va_list rest;                                                                                                  \
        va_start(rest, flags);                                                                                         \
        const mode_t mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(rest, int)) : 0;     \
        va_end(rest);                                                                                                  \
        stallAt(dirFd, path, #name);                                                                                   \
        static const auto next = reinterpret_cast<int(*) params>(::dlsym(RTLD_NEXT, #name));                           \
        return next args;                                                                                              \
    }

extern "C" int hangfs_main_thread_calls() { return mainThreadCalls; }

PATH_CALL(int, stat, (const char *p, struct stat *s), (p, s), p)
PATH_CALL(int, stat64, (const char *p, struct stat64 *s), (p, s), p)
PATH_CALL(int, lstat, (const char *p, struct stat *s), (p, s), p)
PATH_CALL(int, lstat64, (const char *p, struct stat64 *s), (p, s), p)
PATH_CALL(int, access, (const char *p, int m), (p, m), p)
PATH_CALL(int, chdir, (const char *p), (p), p)
PATH_CALL(int, statvfs, (const char *p, struct statvfs *s), (p, s), p)
PATH_CALL(int, statvfs64, (const char *p, struct statvfs64 *s), (p, s), p)
PATH_CALL(int, mkdir, (const char *p, mode_t m), (p, m), p)
PATH_CALL(ssize_t, readlink, (const char *p, char *b, size_t n), (p, b, n), p)
PATH_CALL(char *, realpath, (const char *p, char *r), (p, r), p)
PATH_CALL(DIR *, opendir, (const char *p), (p), p)
PATH_CALL(int, inotify_add_watch, (int f, const char *p, uint32_t m), (f, p, m), p)
AT_CALL(int, fstatat, (int d, const char *p, struct stat *s, int f), (d, p, s, f), d, p)
AT_CALL(int, fstatat64, (int d, const char *p, struct stat64 *s, int f), (d, p, s, f), d, p)
AT_CALL(int, statx, (int d, const char *p, int f, unsigned m, struct statx *s), (d, p, f, m, s), d, p)
AT_CALL(int, faccessat, (int d, const char *p, int m, int f), (d, p, m, f), d, p)
AT_CALL(int, mkdirat, (int d, const char *p, mode_t m), (d, p, m), d, p)
AT_CALL(ssize_t, readlinkat, (int d, const char *p, char *b, size_t n), (d, p, b, n), d, p)
AT_CALL(int, unlinkat, (int d, const char *p, int f), (d, p, f), d, p)
AT_CALL(int, renameat2, (int d, const char *p, int e, const char *q, unsigned f), (d, p, e, q, f), d, p)

OPEN_CALL(open, (const char *path, int flags, ...), (path, flags, mode), AT_FDCWD)
OPEN_CALL(open64, (const char *path, int flags, ...), (path, flags, mode), AT_FDCWD)
OPEN_CALL(openat, (int dirFd, const char *path, int flags, ...), (dirFd, path, flags, mode), dirFd)
OPEN_CALL(openat64, (int dirFd, const char *path, int flags, ...), (dirFd, path, flags, mode), dirFd)
