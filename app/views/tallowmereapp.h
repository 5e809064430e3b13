#pragma once
// The program's entry object. It makes, once and in this order, the workspace, the settings
// and the bookmarks (the icon cache is the program's shared one), gives them to the main window and its menus,
// and opens the settings window on request. It lives as long as the program runs.

#include "settingsview.h"
#include "viewenvironment.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <memory>

class AppMenus;
class DevicesModel;
class ContentView;
class PaneCommands;
class QTranslator;


class TallowmereApp : public QObject
{
    Q_OBJECT

public:
    explicit TallowmereApp(QObject *parent = nullptr);
    ~TallowmereApp() override;

    // The look and the icon theme; call once after the QApplication exists.
    static void prepareApplication();

    const ViewEnvironment &environment() const { return m_env; }
    ContentView *window() const { return m_window.get(); }
    AppMenus *menus() const { return m_menus; }
    SettingsView *settingsWindow() const { return m_settingsWindow; }

    // Shows the folder named by a command-line argument (a path or a file URL, as its bytes)
    // in the left pane; a file is selected in its folder. Anything that names nothing is ignored.
    void openArgument(const QByteArray &argument);
    void showSettings();

private:
    void followLanguage();
    std::unique_ptr<WorkspaceModel> m_workspace;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<FavoritesStore> m_favorites;
    std::unique_ptr<DevicesModel> m_devices;
    std::unique_ptr<PaneCommands> m_commands;
    ViewEnvironment m_env;
    std::unique_ptr<ContentView> m_window;
    AppMenus *m_menus = nullptr;
    QPointer<SettingsView> m_settingsWindow;
    // Qt's own texts (the menus of text fields, scroll bars and spin boxes) in the interface's language.
    std::unique_ptr<QTranslator> m_qtTexts;
};
