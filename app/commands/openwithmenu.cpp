#include "openwithmenu.h"

#include "localization.h"

#include <QMimeDatabase>

#include <memory>
#include <utility>

QString OpenWithMenu::mimeTypeOf(const FileItem &item)
{
    if (item.isDirectory)
        return QStringLiteral("inode/directory");
    return QMimeDatabase().mimeTypeForFile(item.name, QMimeDatabase::MatchExtension).name();
}

ContextMenuEntry OpenWithMenu::entry(const QList<FileItem> &items, const ApplicationRegistry &registry,
                                     const Localization &loc, QObject *context,
                                     std::function<void(const QString &)> launchFailed, std::function<void()> chooseOther)
{
    QStringList types;
    for (const FileItem &item : items)
        if (const QString type = mimeTypeOf(item); !types.contains(type))
            types.append(type);
    const QString chosen = types.size() == 1 ? registry.defaultFor(types.first()) : QString();
    ContextMenuEntry menu{ContextMenuEntry::Command::openWith, loc.openWith, {}};
    for (const DesktopEntry &application : registry.applicationsFor(types)) {
        const QString text = application.id == chosen ? Localization::fill(loc.defaultApplicationFormat, {application.name})
                                                      : application.name;
        const QString failure = Localization::fill(loc.launchFailedFormat, {application.name});
        menu.submenu.append({ContextMenuEntry::Command::openWithApplication, text,
                             [items, application, context, launchFailed, failure] {
                                 open(items, application, context, [launchFailed, failure] { launchFailed(failure); });
                             },
                             application.icon});
    }
    if (!menu.submenu.isEmpty())
        menu.submenu.append(ContextMenuEntry::divider());
    menu.submenu.append({ContextMenuEntry::Command::openWithOther, loc.otherApplication, std::move(chooseOther)});
    return menu;
}

void OpenWithMenu::open(const QList<FileItem> &items, const DesktopEntry &application, QObject *context,
                        std::function<void()> onFailure)
{
    QList<FilePath> files;
    for (const FileItem &item : items)
        files.append(item.url);
    const QList<Launcher::Command> commands = application.commands(files);
    if (commands.isEmpty()) {
        onFailure();
        return;
    }
    // One message for the application, however many of its runs fail.
    auto told = std::make_shared<bool>(false);
    for (const Launcher::Command &command : commands)
        Launcher::start(command, context, [onFailure, told] {
            if (!std::exchange(*told, true))
                onFailure();
        });
}
