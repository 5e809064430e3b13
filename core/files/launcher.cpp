#include "launcher.h"

#include "detachedspawn.h"
#include "filenames.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstring>
#include <unistd.h>

namespace {

const QString xdgOpen = QStringLiteral("xdg-open");

// The program of a command line such as "kitty --single-instance", found on `path`.
std::optional<Launcher::Command> findProgram(const QString &commandLine, const QStringList &path)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return std::nullopt;
    const QString program = QStandardPaths::findExecutable(words.takeFirst(), path);
    if (program.isEmpty())
        return std::nullopt;
    return Launcher::Command{program, words, {}};
}

} // namespace

Launcher::Command Launcher::openCommand(const FilePath &url)
{
    return {xdgOpen, {url.path()}, {}};
}

Launcher::Command Launcher::revealFallbackCommand(const QList<FilePath> &urls)
{
    return openCommand(urls.first().parentDir());
}

std::optional<Launcher::Command> Launcher::terminalCommand(const FilePath &directory,
                                                           const QProcessEnvironment &environment)
{
    const QStringList path = environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QStringList candidates{environment.value(QStringLiteral("TERMINAL")), QStringLiteral("x-terminal-emulator"),
                           QStringLiteral("konsole"), QStringLiteral("gnome-terminal"),
                           QStringLiteral("xfce4-terminal"), QStringLiteral("kitty"), QStringLiteral("alacritty"),
                           QStringLiteral("xterm")};
    for (const QString &candidate : candidates) {
        if (std::optional<Command> command = findProgram(candidate, path)) {
            command->workingDirectory = directory.path();
            return command;
        }
    }
    return std::nullopt;
}

bool Launcher::start(const Command &command)
{
    // Our own spawn rather than QProcess: its conversion of arguments would turn the bytes of a
    // name that isn't UTF-8 into replacement characters, and name a different file.
    QList<QByteArray> arguments{FileNames::encode(command.program)};
    for (const QString &argument : command.arguments)
        arguments.append(FileNames::encode(argument));
    QList<QByteArray> environment;
    for (char **variable = environ; *variable; ++variable)
        if (command.workingDirectory.isEmpty() || std::strncmp(*variable, "PWD=", 4) != 0)
            environment.append(*variable);
    const QByteArray folder = FileNames::encode(command.workingDirectory);
    // Shells trust PWD when it names their working folder, and keep the path as the user sees it.
    if (!folder.isEmpty())
        environment.append("PWD=" + folder);
    return DetachedSpawn::run(arguments, environment, folder);
}

void Launcher::open(const FilePath &url)
{
    start(openCommand(url));
}

void Launcher::revealInFileManager(const QList<FilePath> &urls)
{
    revealInFileManager(urls, QDBusConnection::sessionBus());
}

void Launcher::revealInFileManager(const QList<FilePath> &urls, const QDBusConnection &bus)
{
    if (urls.isEmpty())
        return;
    const Command fallback = revealFallbackCommand(urls);
    if (!bus.isConnected()) {
        start(fallback);
        return;
    }
    QStringList uris;
    // Percent-encoded from the name's bytes: a name that isn't UTF-8 reaches the file manager as itself.
    for (const FilePath &url : urls)
        uris << QString::fromLatin1(url.toUrl().toEncoded());
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    // No waiting: the answer only matters when there is no file manager to take the call.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [fallback](QDBusPendingCallWatcher *w) {
        if (w->isError())
            start(fallback);
        w->deleteLater();
    });
}

void Launcher::openInTerminal(const FilePath &directory)
{
    if (const std::optional<Command> command = terminalCommand(directory, QProcessEnvironment::systemEnvironment()))
        start(*command);
}
