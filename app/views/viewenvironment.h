#pragma once
// What every view of one window reads from its surroundings: the window's workspace, the
// persisted settings and bookmarks, the shared icon cache and the
// volumes of the system. The theme and the texts follow
// from the settings (their language), so views look them up there and listen for a change.
// The window owns all of these; views only borrow them.

class WorkspaceModel;
class AppSettings;
class FavoritesStore;
class IconCache;
class DevicesModel;

struct ViewEnvironment
{
    WorkspaceModel *workspace = nullptr;
    AppSettings *settings = nullptr;
    FavoritesStore *favorites = nullptr;
    IconCache *icons = nullptr;
    DevicesModel *devices = nullptr; // none: the sidebar has no Devices section
};
