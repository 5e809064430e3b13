#include "contextmenubuilder.h"

#include <QIcon>
#include <QMenu>

void ContextMenuBuilder::fill(QMenu *menu, const QList<ContextMenuEntry> &entries, QObject *context)
{
    for (const ContextMenuEntry &entry : entries) {
        if (entry.isDivider()) {
            menu->addSeparator();
        } else if (!entry.submenu.isEmpty()) {
            fill(menu->addMenu(entry.text), entry.submenu, context);
        } else {
            QAction *action = menu->addAction(entry.text, context, entry.action);
            if (!entry.iconName.isEmpty())
                action->setIcon(QIcon::fromTheme(entry.iconName));
        }
    }
}
