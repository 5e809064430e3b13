#include "launcher.h"

#include "detachedspawn.h"
#include "exitwatch.h"
#include "filenames.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <memory>
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

namespace {

// Our own spawn rather than QProcess: its conversion of arguments would turn the bytes of a
// name that isn't UTF-8 into replacement characters, and name a different file.
struct SpawnBytes
{
    explicit SpawnBytes(const Launcher::Command &command) : arguments{FileNames::encode(command.program)}
    {
        for (const QString &argument : command.arguments)
            arguments.append(FileNames::encode(argument));
        for (char **variable = environ; *variable; ++variable)
            if (command.workingDirectory.isEmpty() || std::strncmp(*variable, "PWD=", 4) != 0)
                environment.append(*variable);
        folder = FileNames::encode(command.workingDirectory);
        // Shells trust PWD when it names their working folder, and keep the path as the user sees it.
        if (!folder.isEmpty())
            environment.append("PWD=" + folder);
    }

    QList<QByteArray> arguments;
    QList<QByteArray> environment;
    QByteArray folder;
};

} // namespace

void Launcher::start(const Command &command, QObject *context, std::function<void()> onFailure)
{
    const SpawnBytes bytes(command);
    const int report = DetachedSpawn::start(bytes.arguments, bytes.environment, bytes.folder);
    if (report < 0) {
        onFailure();
        return;
    }
    // The pipe is closed with the notifier's connection, also when `context` goes before the child
    // reports. Without a context the notifier is the application's, so it goes with the program at
    // the latest, should the program end before the child reports.
    const std::shared_ptr<void> closer(nullptr, [report](void *) { ::close(report); });
    QObject *owner = context ? context : QCoreApplication::instance();
    auto *notifier = new QSocketNotifier(report, QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, report, closer, onFailure = std::move(onFailure)] {
        notifier->setEnabled(false);
        notifier->deleteLater();
        int err = 0;
        ssize_t got;
        while ((got = ::read(report, &err, sizeof err)) < 0 && errno == EINTR) {
        }
        if (got != 0)
            onFailure();
    });
}

// xdg-open's exit codes: 2 the item doesn't exist, 3 no tool or application to open it with,
// 4 the action failed (the application couldn't be started); 1, a bad command line, can't
// happen with one absolute path.
std::optional<FileError> Launcher::openFailure(int exitCode, const QString &path)
{
    switch (exitCode) {
    case 0: return std::nullopt;
    case 2: return FileError(FileError::Operation::Open, ENOENT, path);
    case 3: return FileError(FileError::Operation::Open, FileError::OpenNoApplication, path);
    default: return FileError(FileError::Operation::Open, FileError::OpenFailed, path);
    }
}

void Launcher::open(const FilePath &url, QObject *context, std::function<void(const FileError &)> onFailure)
{
    const Command command = openCommand(url);
    const SpawnBytes bytes(command);
    int error = 0;
    const pid_t child = DetachedSpawn::runChild(bytes.arguments, bytes.environment, bytes.folder, error);
    const QString path = command.arguments.constFirst();
    if (child < 0) {
        onFailure(FileError(FileError::Operation::Open, error == ENOENT ? FileError::OpenNoOpener : error, path));
        return;
    }
    ExitWatch *watch = ExitWatch::watch(child);
    QObject::connect(watch, &ExitWatch::exited, context, [onFailure = std::move(onFailure), path](int code) {
        if (const std::optional<FileError> failure = openFailure(code, path))
            onFailure(*failure);
    });
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
    // The fallback's failure goes untold, as the call's would.
    if (!bus.isConnected()) {
        start(fallback, nullptr, [] {});
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
    // No waiting: the answer only matters when there is no file manager to take the call. The
    // watcher is the application's, so it goes with the program should no answer come first.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [fallback](QDBusPendingCallWatcher *w) {
        if (w->isError())
            start(fallback, nullptr, [] {});
        w->deleteLater();
    });
}

void Launcher::openInTerminal(const FilePath &directory, QObject *context, std::function<void(const FileError &)> onFailure)
{
    const std::optional<Command> command = terminalCommand(directory, QProcessEnvironment::systemEnvironment());
    const QString path = directory.path();
    if (!command) {
        onFailure(FileError(FileError::Operation::Open, FileError::OpenNoTerminal, path));
        return;
    }
    start(*command, context, [onFailure = std::move(onFailure), path] {
        onFailure(FileError(FileError::Operation::Open, FileError::OpenFailed, path));
    });
}
