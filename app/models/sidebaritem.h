#pragma once
// One fixed place of the sidebar, and the list of them. The desktop, documents and downloads
// folders are the user's XDG folders, which may carry localised names (~/デスクトップ); a
// place whose folder doesn't exist is left out rather than shown broken.

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

    // Made on first use and kept for the run, each place with its own id.
    static const QList<SidebarItem> &defaults();
    // The same list made afresh from the current home and XDG folders.
    static QList<SidebarItem> makeDefaults();

    bool operator==(const SidebarItem &) const = default;
};

size_t qHash(const SidebarItem &item, size_t seed = 0);
