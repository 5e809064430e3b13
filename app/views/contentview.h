#pragma once
// The main window: the sidebar beside the two-pane workspace, and a toolbar holding the title
// line and the right-pane button. It keeps the window above others when asked, remembers its
// size, place and sidebar width across runs, and won't close under a running transfer without
// asking.

#include "filejobqueue.h"
#include "viewenvironment.h"

#include <QMainWindow>

class QSplitter;
class QToolButton;
class SidebarView;
class TitleLineView;
class WindowLevelSetter;
class WorkspaceView;

class ContentView : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr QSize minimumWindowSize{900, 500};
    static constexpr int sidebarMinimum = 160;
    static constexpr int sidebarDefault = 200;
    static constexpr int sidebarMaximum = 280;

    explicit ContentView(const ViewEnvironment &env, QWidget *parent = nullptr);

    // Before a size was ever saved: wide enough for each pane to show its dates whole, within a
    // screen with that much room.
    static QSize firstRunSize(const QSize &available);
    ~ContentView() override;

    WorkspaceView *workspaceView() const { return m_workspace; }
    SidebarView *sidebar() const { return m_sidebar; }
    TitleLineView *titleLine() const { return m_title; }
    QToolButton *rightPaneButton() const { return m_rightPane; }

    // Opens the active pane's path field for typing a location.
    void editLocation();

    // Puts back the size, place and sidebar width of the last run, if any.
    void restoreWindowState();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void retranslate();
    void followActivePane();
    bool confirmCloseWhileWorking();
    void saveWindowState();

    // The file jobs of both panes, in one line. Being a member, it goes before the panes do: it
    // cancels its jobs and waits for the running one first.
    FileJobQueue m_jobs;
    ViewEnvironment m_env;
    SidebarView *m_sidebar;
    WorkspaceView *m_workspace;
    QSplitter *m_splitter;
    TitleLineView *m_title;
    QToolButton *m_rightPane;
    WindowLevelSetter *m_level;
    bool m_shown = false;
};
