#pragma once
// What every view of one window reads from its surroundings: the window's workspace, the
// persisted settings and bookmarks, the shared icon cache, the
// volumes of the system and the commands of the window's panes. The theme and the texts follow
// from the settings (their language), so views look them up there and listen for a change.
// The window owns all of these; views only borrow them.

class WorkspaceModel;
class AppSettings;
class FavoritesStore;
class IconCache;
class DevicesModel;
class PaneCommands;

struct ViewEnvironment
{
    WorkspaceModel *workspace = nullptr;
    AppSettings *settings = nullptr;
    FavoritesStore *favorites = nullptr;
    IconCache *icons = nullptr;
    DevicesModel *devices = nullptr; // none: the sidebar has no Devices section
    PaneCommands *commands = nullptr; // the pane's commands as actions; none: no context menus
};
