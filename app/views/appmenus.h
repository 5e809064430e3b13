#pragma once
// The menu bar of the main window: File (new and close tab, the pane's commands on items,
// Settings, Quit), Edit (Undo, Redo; Cut, Copy, Paste, Select All; Filter, Find Files; the
// other-pane transfers; Copy Path, hidden files),
// View (Float on Top, right pane) and Go (back, forward, up and home in the active pane's tab,
// and the location field). The pane's commands are the window's PaneCommands, enabled while
// they can act on the active pane's selection; Undo and Redo while there is something to undo or
// redo. The labels that name a state follow it, and every label follows the language setting.

#include "viewenvironment.h"

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

class AppMenus : public QObject
{
    Q_OBJECT

public:
    AppMenus(const ViewEnvironment &env, QMainWindow *window);

    QAction *undoAction() const { return m_undo; }
    QAction *hiddenFilesAction() const { return m_hidden; }
    QAction *floatOnTopAction() const { return m_float; }
    QAction *settingsAction() const { return m_settings; }
    QAction *quitAction() const { return m_quit; }
    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }
    QAction *upAction() const { return m_up; }
    QAction *homeAction() const { return m_home; }
    QAction *editLocationAction() const { return m_editLocation; }
    QAction *nextTabAction() const { return m_nextTab; }
    QAction *previousTabAction() const { return m_previousTab; }
    QList<QMenu *> menus() const { return {m_file, m_edit, m_view, m_go}; }

Q_SIGNALS:
    void settingsRequested();
    void editLocationRequested();

private:
    void retranslate();
    void updateUndo();
    void addGoMenu(QMenuBar *bar);
    void addFileCommands();
    void addEditCommands();
    void nameActions();

    ViewEnvironment m_env;
    QMenu *m_file;
    QMenu *m_edit;
    QMenu *m_view;
    QMenu *m_go;
    QAction *m_settings;
    QAction *m_quit;
    QAction *m_undo;
    QAction *m_redo;
    QAction *m_hidden;
    QAction *m_float;
    QAction *m_rightPane;
    QAction *m_back;
    QAction *m_forward;
    QAction *m_up;
    QAction *m_home;
    QAction *m_editLocation;
    QAction *m_nextTab;
    QAction *m_previousTab;
};
