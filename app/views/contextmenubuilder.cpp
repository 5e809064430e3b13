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
            action->setShortcut(shortcutFor(entry.command));
            if (!entry.iconName.isEmpty())
                action->setIcon(QIcon::fromTheme(entry.iconName));
        }
    }
}

QKeySequence ContextMenuBuilder::shortcutFor(ContextMenuEntry::Command command)
{
    using C = ContextMenuEntry::Command;
    switch (command) {
    case C::newFolder: return QKeySequence(Qt::Key_F7);
    case C::paste: return QKeySequence::Paste;
    case C::copyPath: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    case C::copy: return QKeySequence::Copy;
    case C::cut: return QKeySequence::Cut;
    case C::copyToOtherPane: return QKeySequence(Qt::Key_F5);
    case C::moveToOtherPane: return QKeySequence(Qt::Key_F6);
    case C::duplicate: return QKeySequence(Qt::CTRL | Qt::Key_D);
    case C::getInfo: return QKeySequence(Qt::CTRL | Qt::Key_I);
    case C::preview: return QKeySequence(Qt::Key_Space);
    case C::rename: return QKeySequence(Qt::Key_F2);
    case C::moveToTrash: return QKeySequence(Qt::Key_Delete);
    default: return {};
    }
}
