#pragma once
// The left column of the window: the fixed places, the volumes (with their free space; mount,
// unmount and eject from a context menu), the user's bookmarks (add the current folder, remove
// from a context menu, drag to reorder) and, at the bottom, the float-on-top pin.
// A click on a place, volume or bookmark shows that folder in the active tab of the active pane;
// a click on a volume that isn't mounted mounts it first. The place, volume or bookmark of the
// folder that tab shows is highlighted, and nothing is elsewhere.

#include "devicesmodel.h"
#include "filepath.h"
#include "viewenvironment.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolButton;
class TabModel;

class SidebarView : public QWidget
{
    Q_OBJECT

public:
    explicit SidebarView(const ViewEnvironment &env, QWidget *parent = nullptr);

    QListWidget *places() const { return m_places; }
    QListWidget *bookmarks() const { return m_bookmarks; }
    QListWidget *devices() const { return m_devices; }
    QToolButton *pinButton() const { return m_pin; }

    // What the bookmark's context menu runs.
    void removeBookmarkAt(int row);
    // The context menu of the volume in `row`, for the views that show it and for tests.
    QMenu *deviceMenu(int row, QWidget *parent);
    // What a click on the volume with this id does.
    void activateDevice(const QString &id);

private:
    void fillPlaces();
    void fillBookmarks();
    void updatePin();
    void retranslate();
    void openFolder(const FilePath &url);
    void showBookmarkMenu(const QPoint &pos);
    void followActiveTab();
    void highlightCurrentFolder();
    void fillDevices();
    void showDeviceFailure(const UDisksClient::Outcome &outcome, const DevicesModel::Volume &volume);

    ViewEnvironment m_env;
    QLabel *m_placesHeader;
    QListWidget *m_places;
    QLabel *m_bookmarksHeader;
    QToolButton *m_addBookmark;
    QListWidget *m_bookmarks;
    QLabel *m_devicesHeader;
    QListWidget *m_devices;
    QToolButton *m_pin;
    QPointer<TabModel> m_followed; // the active tab, whose folder is marked
};
