#include "detachedspawn.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

std::vector<char *> pointers(const QList<QByteArray> &strings)
{
    std::vector<char *> result;
    result.reserve(strings.size() + 1);
    for (const QByteArray &string : strings)
        result.push_back(const_cast<char *>(string.constData()));
    result.push_back(nullptr);
    return result;
}

// Runs in the grandchild: only async-signal-safe calls until exec. On failure the errno goes
// down the pipe, which exec closes on success.
[[noreturn]] void becomeProgram(char *const argv[], char *const envp[], const char *folder, int report)
{
    int err = 0;
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0 && nothing != STDIN_FILENO)
        ::dup2(nothing, STDIN_FILENO);
    if (folder && ::chdir(folder) != 0)
        err = errno;
    if (err == 0) {
        ::execvpe(argv[0], argv, envp);
        err = errno;
    }
    [[maybe_unused]] ssize_t written = ::write(report, &err, sizeof err);
    ::_exit(127);
}

} // namespace

int DetachedSpawn::start(const QList<QByteArray> &arguments, const QList<QByteArray> &environment,
                         const QByteArray &folder)
{
    if (arguments.isEmpty())
        return -1;
    // Everything the children need is made before fork: after it, memory may not be allocated.
    const std::vector<char *> argv = pointers(arguments);
    const std::vector<char *> envp = pointers(environment);
    const char *where = folder.isEmpty() ? nullptr : folder.constData();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            becomeProgram(argv.data(), envp.data(), where, report[1]);
        ::_exit(grandchild > 0 ? 0 : 1);
    }
    ::close(report[1]);
    // The middle child only forks, so this wait is short.
    int status = 0;
    if (child > 0)
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    if (child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return report[0];
    ::close(report[0]);
    return -1;
}

pid_t DetachedSpawn::runChild(const QList<QByteArray> &arguments, const QList<QByteArray> &environment,
                              const QByteArray &folder, int &error)
{
    error = 0;
    if (arguments.isEmpty()) {
        error = EINVAL;
        return -1;
    }
    const std::vector<char *> argv = pointers(arguments);
    const std::vector<char *> envp = pointers(environment);
    const char *where = folder.isEmpty() ? nullptr : folder.constData();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = errno;
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        becomeProgram(argv.data(), envp.data(), where, report[1]);
    }
    if (child < 0)
        error = errno;
    ::close(report[1]);
    ssize_t got;
    int err = 0;
    while ((got = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (child > 0 && got > 0) {
        // It never became the program: collect it now, it has exited already.
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
        error = err;
        return -1;
    }
    return child;
}
