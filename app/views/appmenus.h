#pragma once
// The menu bar of the main window: File (Settings, Quit), Edit (Undo, Redo, Copy Path, hidden
// files) and View (Float on Top, right pane). Undo and Redo are enabled only when there is
// something to undo or redo; the labels that name a state follow it, and every label follows
// the language setting.

#include "viewenvironment.h"

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

class AppMenus : public QObject
{
    Q_OBJECT

public:
    AppMenus(const ViewEnvironment &env, QMainWindow *window);

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    QAction *copyPathAction() const { return m_copyPath; }
    QAction *hiddenFilesAction() const { return m_hidden; }
    QAction *floatOnTopAction() const { return m_float; }
    QAction *rightPaneAction() const { return m_rightPane; }
    QAction *settingsAction() const { return m_settings; }
    QAction *quitAction() const { return m_quit; }
    QList<QMenu *> menus() const { return {m_file, m_edit, m_view}; }

Q_SIGNALS:
    void settingsRequested();

private:
    void retranslate();
    void updateUndo();

    ViewEnvironment m_env;
    QMenu *m_file;
    QMenu *m_edit;
    QMenu *m_view;
    QAction *m_settings;
    QAction *m_quit;
    QAction *m_undo;
    QAction *m_redo;
    QAction *m_copyPath;
    QAction *m_hidden;
    QAction *m_float;
    QAction *m_rightPane;
};
