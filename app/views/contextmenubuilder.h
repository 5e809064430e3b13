#pragma once
// Turns a context menu that the command layer made as data into a QMenu, submenus included: a
// command's entry is the window's action for it, with its text, keys and state.

#include "contextmenuentry.h"

#include <QList>

class PaneCommands;
class QMenu;
class QObject;

class ContextMenuBuilder
{
public:
    // Appends the entries to `menu`; those with actions of their own run with `context` as the
    // receiver.
    static void fill(QMenu *menu, const QList<ContextMenuEntry> &entries, const PaneCommands *commands, QObject *context);
};
