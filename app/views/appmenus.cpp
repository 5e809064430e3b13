#include "appmenus.h"

#include "appsettings.h"
#include "localization.h"
#include "panecommands.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

AppMenus::AppMenus(const ViewEnvironment &env, QMainWindow *window) : QObject(window), m_env(env)
{
    QMenuBar *bar = window->menuBar();
    m_file = bar->addMenu(QString());
    m_edit = bar->addMenu(QString());
    m_view = bar->addMenu(QString());

    addFileCommands();
    m_settings = m_file->addAction(QString(), this, &AppMenus::settingsRequested);
    m_settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_settings->setMenuRole(QAction::PreferencesRole);
    m_file->addSeparator();
    m_quit = m_file->addAction(QString(), window, &QWidget::close);
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q)); // on every desktop, whatever its key scheme

    UndoCoordinator *undo = env.workspace->undo();
    m_undo = m_edit->addAction(QString(), undo, &UndoCoordinator::undo);
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = m_edit->addAction(QString(), undo, &UndoCoordinator::redo);
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addEditCommands();
    m_hidden = m_edit->addAction(QString(), this, [this] { m_env.settings->setShowHidden(!m_env.settings->showHidden()); });
    // Ctrl+Shift+. as typed on most layouts arrives as Ctrl+Shift+>.
    m_hidden->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Period),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Greater)});

    m_float = m_view->addAction(QString());
    m_float->setCheckable(true);
    m_float->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    connect(m_float, &QAction::toggled, env.settings, &AppSettings::setFloatOnTop);
    m_rightPane = m_view->addAction(QString(), this, [this] {
        m_env.settings->setRightPaneHidden(!m_env.settings->rightPaneHidden());
    });
    m_rightPane->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right));
    addGoMenu(bar);
    // The shortcuts work whether or not the menu bar is shown, whatever widget has the keyboard,
    // unless that widget uses the key itself (a text field's Ctrl+Z, the list's Ctrl+C).
    for (QAction *action : {m_settings, m_quit, m_undo, m_redo, m_hidden, m_float, m_rightPane, m_back, m_forward, m_up,
                            m_home, m_editLocation, m_nextTab, m_previousTab})
        action->setShortcutContext(Qt::WindowShortcut);
    nameActions();

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

// The pane's commands, acting on the active pane.
void AppMenus::addFileCommands()
{
    using C = PaneCommands::Command;
    const auto add = [this](QMenu *menu, std::initializer_list<C> group) {
        for (C command : group)
            menu->addAction(m_env.commands->action(command));
        menu->addSeparator();
    };
    add(m_file, {C::newTab, C::closeTab});
    add(m_file, {C::newFolder, C::newFile});
    add(m_file, {C::getInfo, C::preview, C::rename, C::bulkRename, C::duplicate});
    add(m_file, {C::compress, C::extract, C::revealInFileManager});
    add(m_file, {C::moveToTrash, C::deletePermanently});
}

void AppMenus::addEditCommands()
{
    using C = PaneCommands::Command;
    m_edit->addSeparator();
    for (C command : {C::cut, C::copy, C::paste, C::selectAll})
        m_edit->addAction(m_env.commands->action(command));
    m_edit->addSeparator();
    for (C command : {C::filter, C::find})
        m_edit->addAction(m_env.commands->action(command));
    m_edit->addSeparator();
    for (C command : {C::copyToOtherPane, C::moveToOtherPane})
        m_edit->addAction(m_env.commands->action(command));
    m_edit->addSeparator();
    m_edit->addAction(m_env.commands->action(C::copyPath));
}

// Names to find the entries by, as the pane's commands have.
void AppMenus::nameActions()
{
    const std::pair<QAction *, const char *> names[] = {
        {m_settings, "settings"}, {m_quit, "quit"}, {m_undo, "undo"}, {m_redo, "redo"}, {m_hidden, "hiddenFiles"},
        {m_float, "floatOnTop"}, {m_rightPane, "rightPane"}, {m_back, "back"}, {m_forward, "forward"}, {m_up, "up"},
        {m_home, "home"}, {m_editLocation, "editLocation"}, {m_nextTab, "nextTab"}, {m_previousTab, "previousTab"}};
    for (const auto &[action, name] : names)
        action->setObjectName(QLatin1String(name));
}

void AppMenus::addGoMenu(QMenuBar *bar)
{
    m_go = bar->addMenu(QString());
    WorkspaceModel *workspace = m_env.workspace;
    const auto onActiveTab = [workspace](auto step) {
        return [workspace, step] { step(workspace->activePane()->activeTab()); };
    };
    m_back = m_go->addAction(QString(), this, onActiveTab([](TabModel *tab) {
        if (tab->history().canGoBack())
            tab->goBack();
    }));
    m_back->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Left), QKeySequence(Qt::Key_Back)});
    m_forward = m_go->addAction(QString(), this, onActiveTab([](TabModel *tab) {
        if (tab->history().canGoForward())
            tab->goForward();
    }));
    m_forward->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Right), QKeySequence(Qt::Key_Forward)});
    m_up = m_go->addAction(QString(), this, onActiveTab([](TabModel *tab) {
        tab->navigate(tab->currentUrl().parentDir());
    }));
    m_up->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    m_home = m_go->addAction(QString(), this, onActiveTab([](TabModel *tab) {
        tab->navigate(FilePath::fromString(QDir::homePath()));
    }));
    m_home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    m_go->addSeparator();
    m_editLocation = m_go->addAction(QString(), this, &AppMenus::editLocationRequested);
    m_editLocation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_go->addSeparator();
    const auto stepTab = [workspace](int step) {
        return [workspace, step] {
            PaneModel *pane = workspace->activePane();
            const QList<TabModel *> tabs = pane->tabs();
            const qsizetype at = tabs.indexOf(pane->activeTab());
            pane->setActiveTabID(tabs.at((at + step + tabs.size()) % tabs.size())->id());
        };
    };
    m_nextTab = m_go->addAction(QString(), this, stepTab(1));
    m_nextTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    m_previousTab = m_go->addAction(QString(), this, stepTab(-1));
    m_previousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
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
    m_hidden->setText(m_env.settings->showHidden() ? loc.showHiddenHide : loc.showHiddenShow);
    m_float->setText(loc.floatOnTop);
    m_rightPane->setText(m_env.settings->rightPaneHidden() ? loc.showRightPane : loc.hideRightPane);
    m_go->setTitle(loc.menuGo);
    m_back->setText(loc.goBack);
    m_forward->setText(loc.goForward);
    m_up->setText(loc.goUp);
    m_home->setText(loc.sidebarHome);
    m_editLocation->setText(loc.editLocation);
    m_nextTab->setText(loc.nextTab);
    m_previousTab->setText(loc.previousTab);
}
