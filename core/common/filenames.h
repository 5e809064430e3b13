#pragma once
// File names are bytes to the kernel, and not every byte string is UTF-8. Qt's own conversion
// turns such bytes into U+FFFD, so two different names can look alike and an operation meant
// for one reaches the other. These conversions are lossless: a byte that isn't part of valid
// UTF-8 becomes a lone low surrogate U+DC80..U+DCFF in the QString, and turns back into that
// very byte on the way out. Names that are valid UTF-8 convert exactly as Qt converts them.

#include <QByteArray>
#include <QString>

#include <utility>

class FileNames
{
public:
    [[nodiscard]] static QString decode(const char *bytes, qsizetype size = -1);
    [[nodiscard]] static QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }
    [[nodiscard]] static QByteArray encode(const QString &name);

    // True when the name holds bytes that aren't valid UTF-8.
    [[nodiscard]] static bool hasRawBytes(const QString &name);
    // The name for people to read: each byte that isn't valid UTF-8 shown as U+FFFD.
    [[nodiscard]] static QString displayName(const QString &name);

    // Base and extension: only the last extension is kept apart; a name that begins with its
    // only full stop (".bashrc") or ends with one ("notes.") has no extension.
    [[nodiscard]] static std::pair<QString, QString> splitExtension(const QString &name);
};
