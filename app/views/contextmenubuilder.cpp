#include "contextmenubuilder.h"

#include "panecommands.h"

#include <QIcon>
#include <QMenu>

namespace {

// Entries carry plain text, such as an application's name: an "&" in it is a character, not the
// mark of a shortcut key.
QString menuText(const ContextMenuEntry &entry)
{
    return QString(entry.text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void ContextMenuBuilder::fill(QMenu *menu, const QList<ContextMenuEntry> &entries, const PaneCommands *commands,
                              QObject *context)
{
    for (const ContextMenuEntry &entry : entries) {
        if (entry.isDivider()) {
            menu->addSeparator();
        } else if (!entry.submenu.isEmpty()) {
            fill(menu->addMenu(menuText(entry)), entry.submenu, commands, context);
        } else if (QAction *shared = commands->action(entry.command)) {
            menu->addAction(shared);
        } else {
            QAction *action = menu->addAction(menuText(entry), context, entry.action);
            if (!entry.iconName.isEmpty())
                action->setIcon(QIcon::fromTheme(entry.iconName));
        }
    }
}
