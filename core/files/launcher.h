#pragma once
// Hands items to other programs and forgets them, but for a failure to open or start, which is
// reported later: the default application (xdg-open), the desktop's file manager (FileManager1
// over D-Bus, else the folder opened with xdg-open) and a terminal emulator. Programs are started
// detached with argument lists, never through a shell. The choices are made by static functions
// over data, so they can be checked without starting anything.

#include "fileerror.h"

#include <QDBusConnection>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include "filepath.h"

#include <functional>
#include <optional>

class Launcher
{
public:
    struct Command
    {
        QString program;
        QStringList arguments;
        QString workingDirectory; // empty: inherited
        friend bool operator==(const Command &, const Command &) = default;
    };

    // Opens `url` in its default application and reports, on the calling thread and while
    // `context` lives, a failure to do so: xdg-open missing, no application for the item, the
    // item gone, or the application failing to start.
    static void open(const FilePath &url, QObject *context, std::function<void(const FileError &)> onFailure);
    // The error an exit code of xdg-open stands for; none for success.
    static std::optional<FileError> openFailure(int exitCode, const QString &path);
    static void revealInFileManager(const QList<FilePath> &urls);
    // Asks the file manager on `bus`; falls back to opening the first item's folder when the
    // bus is not connected or the call fails (no file manager service there).
    static void revealInFileManager(const QList<FilePath> &urls, const QDBusConnection &bus);
    // Starts a terminal in `directory` and reports, on the calling thread and while `context`
    // lives, that no terminal is installed or that the one found couldn't be started there.
    static void openInTerminal(const FilePath &directory, QObject *context, std::function<void(const FileError &)> onFailure);

    static Command openCommand(const FilePath &url);
    static Command revealFallbackCommand(const QList<FilePath> &urls);
    // The terminal to start in `directory`, chosen from $TERMINAL, x-terminal-emulator and a
    // list of well-known emulators, looked up on the PATH of `environment`; absent when none is
    // installed. The folder travels as the working directory only.
    static std::optional<Command> terminalCommand(const FilePath &directory, const QProcessEnvironment &environment);

    // Starts the command detached; its PWD is set to the working directory when there is one.
    // Doesn't wait for the start, which may have to change into a folder that doesn't answer:
    // `onFailure` runs later on the calling thread, while `context` lives.
    static void start(const Command &command, QObject *context, std::function<void()> onFailure);
};
