#pragma once
// What every view of one window reads from its surroundings: the window's workspace, the
// persisted settings and bookmarks, the shared icon cache, the volumes of the system, the
// commands of the window's panes and the one queue their file jobs run on. The theme and the
// texts follow from the settings (their language), so views look them up there and listen for a
// change. The window owns all of these; views only borrow them.

class WorkspaceModel;
class AppSettings;
class FavoritesStore;
class IconCache;
class DevicesModel;
class PaneCommands;
class FileJobQueue;

struct ViewEnvironment
{
    WorkspaceModel *workspace = nullptr;
    AppSettings *settings = nullptr;
    FavoritesStore *favorites = nullptr;
    IconCache *icons = nullptr;
    DevicesModel *devices = nullptr; // none: the sidebar has no Devices section
    PaneCommands *commands = nullptr; // the pane's commands as actions; none: no context menus
    FileJobQueue *jobs = nullptr; // set by the window for the views it holds
};
