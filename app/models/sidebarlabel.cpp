#include "sidebarlabel.h"

const QString &sidebarText(SidebarLabel label, const Localization &texts)
{
    switch (label) {
    case SidebarLabel::home: return texts.sidebarHome;
    case SidebarLabel::desktop: return texts.sidebarDesktop;
    case SidebarLabel::documents: return texts.sidebarDocuments;
    case SidebarLabel::downloads: return texts.sidebarDownloads;
    case SidebarLabel::applications: return texts.sidebarApplications;
    }
    return texts.sidebarHome;
}
