#include "tallowmereapp.h"

#include "appmenus.h"
#include "appsettings.h"
#include "contentview.h"
#include "devicesmodel.h"
#include "theme.h"
#include "favoritesstore.h"
#include "iconcache.h"
#include "iconprovider.h"
#include "localization.h"
#include "panecommands.h"
#include "panemodel.h"
#include "settingsview.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>
#include <QUrl>

TallowmereApp::TallowmereApp(QObject *parent)
    : QObject(parent), m_workspace(std::make_unique<WorkspaceModel>(false)), m_settings(std::make_unique<AppSettings>()),
      m_favorites(std::make_unique<FavoritesStore>()), m_devices(DevicesModel::forSystem()),
      m_commands(std::make_unique<PaneCommands>(m_workspace.get(), m_settings.get()))
{
    // Before any view listens to the language: they redraw sizes and dates in the new locale.
    followLanguage();
    connect(m_settings.get(), &AppSettings::languageChanged, this, &TallowmereApp::followLanguage);
    m_env = ViewEnvironment{m_workspace.get(), m_settings.get(), m_favorites.get(), &IconCache::shared(), m_devices.get(),
                           m_commands.get()};
    connect(m_devices.get(), &DevicesModel::volumeGone, m_workspace.get(), &WorkspaceModel::leaveFolder);
    m_window = std::make_unique<ContentView>(m_env);
    m_menus = new AppMenus(m_env, m_window.get());
    connect(m_menus, &AppMenus::settingsRequested, this, &TallowmereApp::showSettings);
    connect(m_menus, &AppMenus::editLocationRequested, m_window.get(), &ContentView::editLocation);
}

// The window goes first: its views hold on to the models until they are gone.
TallowmereApp::~TallowmereApp()
{
    delete m_settingsWindow;
    m_window.reset();
}

void TallowmereApp::prepareApplication()
{
    IconProvider::setUpTheme();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(Theme::daziduvEdiv().palette());
}

void TallowmereApp::openArgument(const QByteArray &argument)
{
    // The shell has already unquoted it, and a name needn't be UTF-8: the bytes are the path,
    // unless they are a file URL. A relative path is taken from the folder we were started in.
    FilePath url = FilePath::fromUrl(QUrl::fromEncoded(argument));
    if (url.isEmpty())
        url = FilePath::fromNative(argument);
    m_workspace->panes().first()->activeTab()->goToPath(url);
}

// Sizes, dates and the kinds of files (from the MIME database) are written in the interface's
// language. Only views on the main thread format them, so changing the default locale here
// races with no background work.
void TallowmereApp::followLanguage()
{
    const Localization &loc = Localization::forLanguage(m_settings->language());
    QLocale::setDefault(loc.formattingLocale());
    m_qtTexts.reset(); // a translator takes itself out of the application as it goes
    auto texts = std::make_unique<QTranslator>();
    if (texts->load(QStringLiteral("qtbase_") + loc.languageCode, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(texts.get());
        m_qtTexts = std::move(texts);
    }
}

void TallowmereApp::showSettings()
{
    if (!m_settingsWindow) {
        // A window of its own, first shown over the middle of the main window.
        m_settingsWindow = new SettingsView(m_env);
        m_settingsWindow->adjustSize();
        QRect frame = m_settingsWindow->frameGeometry();
        frame.moveCenter(m_window->frameGeometry().center());
        m_settingsWindow->move(frame.topLeft());
    }
    m_settingsWindow->show();
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}
