#pragma once
// One application's desktop entry (a .desktop file): what the Open With menu shows of it and
// how it is started. Its Exec line is split into arguments as the freedesktop rules say (double
// quotes, backslash escapes) and its field codes are filled with the files to open; the result
// is an argument list for the detached spawn, never a line for a shell. File names travel as
// lossless text (see FileNames), so a name that isn't UTF-8 reaches the program byte for byte.

#include "launcher.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class DesktopEntry
{
public:
    QString id;           // "org.example.Viewer.desktop"
    QString filePath;     // where it was read from, for %k
    QString name;         // in the first of the given languages that it has
    QString icon;
    QString exec;
    QString workingDirectory;
    QStringList mimeTypes;
    bool noDisplay = false;

    // The "Desktop Entry" group of `text`, its names in the first language of `languages` that
    // has one ("ja_JP" tries "ja_JP", then "ja"). Absent unless it is an application that can
    // be started: hidden (deleted) entries and entries without Exec are absent.
    [[nodiscard]] static std::optional<DesktopEntry> parse(const QByteArray &text, const QString &id,
                                                           const QStringList &languages);
    // Reads the file at `path`; absent when it can't be read or parse() says so.
    [[nodiscard]] static std::optional<DesktopEntry> load(const QString &path, const QString &id,
                                                          const QStringList &languages);

    // The commands that open `files` (absolute paths): one for all of them when Exec takes a
    // list (%F, %U), one per file when it takes one (%f, %u), one without files when it takes
    // none. Empty when the Exec line can't be split (an unclosed quote).
    [[nodiscard]] QList<Launcher::Command> commands(const QStringList &files) const;
    // Exec split into arguments, quotes and escapes undone; absent when malformed.
    [[nodiscard]] static std::optional<QStringList> splitExec(const QString &exec);

    friend bool operator==(const DesktopEntry &, const DesktopEntry &) = default;
};
