#pragma once
// Paths written so that they can be pasted into a POSIX shell command line: bare when every
// character is harmless, otherwise inside single quotes, where the shell takes everything
// literally (spaces, "$", "*", "\", newlines) except the quote itself.

#include <QList>
#include <QString>
#include <QUrl>

class PathFormatter
{
public:
    // "/tmp/a b" → '/tmp/a b'; "it's" → 'it'\''s'; "" → ''.
    [[nodiscard]] static QString escape(const QString &text);
    // Each URL's path escaped, joined by one space: /a '/b c'.
    [[nodiscard]] static QString joinForShell(const QList<QUrl> &urls);

private:
    // Letters and digits of ASCII and "._-/".
    [[nodiscard]] static bool isSafe(QChar c);
};
