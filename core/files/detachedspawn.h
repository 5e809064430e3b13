#pragma once
// Starts a program that outlives us and is never waited for (two forks, so it is nobody's
// child here), with arguments, environment and working folder given as raw bytes.

#include <QByteArray>
#include <QList>

class DetachedSpawn
{
public:
    // `arguments[0]` is the program, looked up on PATH when it has no "/". An empty `folder`
    // keeps ours. Standard input is /dev/null. True when the program was started; false when it
    // couldn't be (not found, not executable, no such folder).
    static bool run(const QList<QByteArray> &arguments, const QList<QByteArray> &environment,
                    const QByteArray &folder);
};
