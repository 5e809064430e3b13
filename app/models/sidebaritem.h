#pragma once
// One fixed place of the sidebar, and the list of them. The desktop, documents and downloads
// folders are the user's XDG folders, which may carry localised names (~/デスクトップ); a
// place whose folder doesn't exist is left out rather than shown broken. Those folders may lie
// on any file system, one that stopped answering among them, so whether they exist is asked in
// background work (the workspace does).

#include "sidebarlabel.h"

#include <QList>
#include <QString>
#include "filepath.h"
#include <QUuid>

struct SidebarItem
{
    QUuid id;
    SidebarLabel label = SidebarLabel::home;
    FilePath url;
    QString systemImage; // a freedesktop icon name

    // Every fixed place, in order, from the current home and XDG folders, each with its own id;
    // whether their folders exist is not looked at.
    static QList<SidebarItem> candidates();
    // True when the place's folder exists. Reads the disk.
    bool exists() const;

    bool operator==(const SidebarItem &) const = default;
};

size_t qHash(const SidebarItem &item, size_t seed = 0);
