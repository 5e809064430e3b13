#pragma once
// Runs an action that must throw FileError and hands the error back for inspection.

#include "fileerror.h"

#include <QtGlobal>

template <typename Action>
FileError failure(Action action)
{
    try {
        action();
    } catch (const FileError &error) {
        return error;
    }
    qFatal("expected a FileError");
}
