#pragma once
// The Trash as desktops on this system share it: the home Trash under $XDG_DATA_HOME/Trash for
// items on its volume, else a Trash at the top of the item's own volume ($topdir/.Trash/$uid
// when the administrator provides a sticky .Trash, else $topdir/.Trash-$uid). Each trashed item
// lies in files/NAME beside a record info/NAME.trashinfo telling where it came from and when.
//
// The record is written first, with an exclusive create that also reserves NAME; the item then
// follows with a rename that never replaces anything. An item that can't be trashed stays where
// it was: it is never deleted instead. The optional directorysizes cache is not kept; readers
// of the Trash must then measure folders themselves, which the format allows.

#include <QString>

class TrashCan
{
public:
    // Moves the item at `path` into the Trash; returns where it now lies (…/files/NAME).
    static QString moveToTrash(const QString &path);
    // Moves a trashed item (…/files/NAME) back to its original place, recreating missing parent
    // folders, and drops its record; returns the original place. Never replaces anything there.
    static QString restore(const QString &trashedPath);
    // The home Trash folder.
    static QString homeTrash();
};
