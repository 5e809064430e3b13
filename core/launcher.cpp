#include "launcher.h"

#include "urls.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QStandardPaths>

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

Launcher::Command Launcher::openCommand(const QUrl &url)
{
    return {xdgOpen, {Urls::path(url)}, {}};
}

Launcher::Command Launcher::revealFallbackCommand(const QList<QUrl> &urls)
{
    return openCommand(Urls::deletingLastPathComponent(urls.first()));
}

std::optional<Launcher::Command> Launcher::terminalCommand(const QUrl &directory,
                                                           const QProcessEnvironment &environment)
{
    const QStringList path = environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const QStringList candidates{environment.value(QStringLiteral("TERMINAL")), QStringLiteral("x-terminal-emulator"),
                           QStringLiteral("konsole"), QStringLiteral("gnome-terminal"),
                           QStringLiteral("xfce4-terminal"), QStringLiteral("kitty"), QStringLiteral("alacritty"),
                           QStringLiteral("xterm")};
    for (const QString &candidate : candidates) {
        if (std::optional<Command> command = findProgram(candidate, path)) {
            command->workingDirectory = Urls::path(directory);
            return command;
        }
    }
    return std::nullopt;
}

bool Launcher::start(const Command &command)
{
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    if (!command.workingDirectory.isEmpty()) {
        process.setWorkingDirectory(command.workingDirectory);
        // Shells trust PWD when it names their working folder, and keep the path as the user sees it.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PWD"), command.workingDirectory);
        process.setProcessEnvironment(environment);
    }
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

void Launcher::open(const QUrl &url)
{
    start(openCommand(url));
}

void Launcher::revealInFileManager(const QList<QUrl> &urls)
{
    revealInFileManager(urls, QDBusConnection::sessionBus());
}

void Launcher::revealInFileManager(const QList<QUrl> &urls, const QDBusConnection &bus)
{
    if (urls.isEmpty())
        return;
    const Command fallback = revealFallbackCommand(urls);
    if (!bus.isConnected()) {
        start(fallback);
        return;
    }
    QStringList uris;
    for (const QUrl &url : urls)
        uris << QString::fromUtf8(url.toEncoded());
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

void Launcher::openInTerminal(const QUrl &directory)
{
    if (const std::optional<Command> command = terminalCommand(directory, QProcessEnvironment::systemEnvironment()))
        start(*command);
}
