#pragma once
// Runs an action that must throw FileError and hands the error back for inspection. When none
// is thrown the current test row fails, and the error handed back (code 0) fails whatever the
// test checks next; the other rows still run.

#include "fileerror.h"

#include <QTest>

template <typename Action>
FileError failure(Action action, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    try {
        action();
    } catch (const FileError &error) {
        return error;
    }
    QTest::qFail("expected a FileError, and none was thrown", file, line);
    return FileError(FileError::Operation::Read, 0, QStringLiteral("(nothing was thrown)"));
}
