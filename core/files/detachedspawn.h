#pragma once
// Starts a program that outlives us and is never waited for (two forks, so it is nobody's
// child here), with arguments, environment and working folder given as raw bytes. runChild()
// starts one as our own child instead, for a caller that wants its exit status (ExitWatch).

#include <QByteArray>
#include <QList>

#include <sys/types.h>

class DetachedSpawn
{
public:
    // `arguments[0]` is the program, looked up on PATH when it has no "/". An empty `folder`
    // keeps ours. Standard input is /dev/null. Doesn't wait for the program to start: gives the
    // read end of a close-on-exec pipe that ends empty once the program runs, or first brings
    // the int errno of a failed start (not found, not executable, no such folder); -1 when
    // nothing could be started. The caller owns it. A working folder that stopped answering then
    // holds only the child changing into it, never the caller.
    static int start(const QList<QByteArray> &arguments, const QList<QByteArray> &environment,
                     const QByteArray &folder);
    // As start(), in a session of its own but as our child. The child's pid, or -1 with `error`
    // set to the errno of the failed start.
    static pid_t runChild(const QList<QByteArray> &arguments, const QList<QByteArray> &environment,
                          const QByteArray &folder, int &error);
};
