#include "contextmenubuilder.h"

#include "panecommands.h"

#include <QIcon>
#include <QMenu>

void ContextMenuBuilder::fill(QMenu *menu, const QList<ContextMenuEntry> &entries, const PaneCommands *commands,
                              QObject *context)
{
    for (const ContextMenuEntry &entry : entries) {
        if (entry.isDivider()) {
            menu->addSeparator();
        } else if (!entry.submenu.isEmpty()) {
            fill(menu->addMenu(entry.text), entry.submenu, commands, context);
        } else if (QAction *shared = commands->action(entry.command)) {
            menu->addAction(shared);
        } else {
            QAction *action = menu->addAction(entry.text, context, entry.action);
            if (!entry.iconName.isEmpty())
                action->setIcon(QIcon::fromTheme(entry.iconName));
        }
    }
}
