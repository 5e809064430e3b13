#pragma once
// Turns a context menu that the command layer made as data into a QMenu, submenus included,
// each entry showing the key that does the same from the list.

#include "contextmenuentry.h"

#include <QKeySequence>
#include <QList>

class QMenu;
class QObject;

class ContextMenuBuilder
{
public:
    // Appends the entries to `menu`; their actions run with `context` as the receiver.
    static void fill(QMenu *menu, const QList<ContextMenuEntry> &entries, QObject *context);
    // The key shown beside an entry, or an empty sequence.
    static QKeySequence shortcutFor(ContextMenuEntry::Command command);
};
