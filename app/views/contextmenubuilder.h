#pragma once
// Turns a context menu that the command layer made as data into a QMenu, submenus included.

#include "contextmenuentry.h"

#include <QList>

class QMenu;
class QObject;

class ContextMenuBuilder
{
public:
    // Appends the entries to `menu`; their actions run with `context` as the receiver.
    static void fill(QMenu *menu, const QList<ContextMenuEntry> &entries, QObject *context);
};
