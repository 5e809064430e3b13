#include "appmenus.h"

#include "appsettings.h"
#include "localization.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

AppMenus::AppMenus(const ViewEnvironment &env, QMainWindow *window) : QObject(window), m_env(env)
{
    QMenuBar *bar = window->menuBar();
    m_file = bar->addMenu(QString());
    m_edit = bar->addMenu(QString());
    m_view = bar->addMenu(QString());

    m_settings = m_file->addAction(QString(), this, &AppMenus::settingsRequested);
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setMenuRole(QAction::PreferencesRole);
    m_file->addSeparator();
    m_quit = m_file->addAction(QString(), window, &QWidget::close);
    m_quit->setShortcut(QKeySequence::Quit);

    UndoCoordinator *undo = env.workspace->undo();
    m_undo = m_edit->addAction(QString(), undo, &UndoCoordinator::undo);
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = m_edit->addAction(QString(), undo, &UndoCoordinator::redo);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_edit->addSeparator();
    m_copyPath = m_edit->addAction(QString(), env.workspace, &WorkspaceModel::copyActiveSelectionPaths);
    m_copyPath->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_hidden = m_edit->addAction(QString(), this, [this] { m_env.settings->setShowHidden(!m_env.settings->showHidden()); });
    m_hidden->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));

    m_float = m_view->addAction(QString());
    m_float->setCheckable(true);
    m_float->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    connect(m_float, &QAction::toggled, env.settings, &AppSettings::setFloatOnTop);
    m_rightPane = m_view->addAction(QString(), this, [this] {
        m_env.settings->setRightPaneHidden(!m_env.settings->rightPaneHidden());
    });
    m_rightPane->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right));
    // The shortcuts work whether or not the menu bar is shown.
    for (QAction *action : {m_settings, m_quit, m_undo, m_redo, m_copyPath, m_hidden, m_float, m_rightPane})
        action->setShortcutContext(Qt::WindowShortcut);

    connect(undo, &UndoCoordinator::canUndoChanged, this, &AppMenus::updateUndo);
    connect(undo, &UndoCoordinator::canRedoChanged, this, &AppMenus::updateUndo);
    AppSettings *settings = env.settings;
    connect(settings, &AppSettings::languageChanged, this, &AppMenus::retranslate);
    connect(settings, &AppSettings::showHiddenChanged, this, &AppMenus::retranslate);
    connect(settings, &AppSettings::rightPaneHiddenChanged, this, &AppMenus::retranslate);
    connect(settings, &AppSettings::floatOnTopChanged, m_float, [this] { m_float->setChecked(m_env.settings->floatOnTop()); });
    m_float->setChecked(settings->floatOnTop());
    updateUndo();
    retranslate();
}

void AppMenus::updateUndo()
{
    const UndoCoordinator *undo = m_env.workspace->undo();
    m_undo->setEnabled(undo->canUndo());
    m_redo->setEnabled(undo->canRedo());
}

void AppMenus::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_file->setTitle(loc.menuFile);
    m_edit->setTitle(loc.menuEdit);
    m_view->setTitle(loc.menuView);
    m_settings->setText(loc.settingsMenuItem);
    m_quit->setText(loc.quit);
    m_undo->setText(loc.undo);
    m_redo->setText(loc.redo);
    m_copyPath->setText(loc.copyPath);
    m_hidden->setText(m_env.settings->showHidden() ? loc.showHiddenHide : loc.showHiddenShow);
    m_float->setText(loc.floatOnTop);
    m_rightPane->setText(m_env.settings->rightPaneHidden() ? loc.showRightPane : loc.hideRightPane);
}
