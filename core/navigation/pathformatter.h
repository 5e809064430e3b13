#pragma once
// Paths written so that they can be pasted into a POSIX shell command line: bare when every
// character is harmless, otherwise inside single quotes, where the shell takes everything
// literally (spaces, "$", "*", "\", newlines) except the quote itself. A path holding bytes that
// aren't UTF-8 is written as $'…' with those bytes as \xNN.

#include <QList>
#include <QString>
#include "filepath.h"

class PathFormatter
{
public:
    // "/tmp/a b" → '/tmp/a b'; "it's" → 'it'\''s'; "" → ''.
    [[nodiscard]] static QString escape(const QString &text);
    // Each URL's path escaped, joined by one space: /a '/b c'.
    [[nodiscard]] static QString joinForShell(const QList<FilePath> &urls);

private:
    // $'caf\xe9' for a path holding bytes that aren't UTF-8.
    [[nodiscard]] static QString ansiQuoted(const QString &text);
    // Letters and digits of ASCII and "._-/".
    [[nodiscard]] static bool isSafe(QChar c);
};
