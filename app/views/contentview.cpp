#include "contentview.h"

#include "appsettings.h"
#include "localization.h"
#include "panecommands.h"
#include "paneview.h"
#include "pathbarview.h"
#include "sidebarview.h"
#include "themeicons.h"
#include "titlelineview.h"
#include "windowlevelsetter.h"
#include "workspaceview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString geometryKey = QStringLiteral("windowGeometry");
const QString sidebarWidthKey = QStringLiteral("sidebarWidth");

} // namespace

ContentView::ContentView(const ViewEnvironment &env, QWidget *parent)
    : QMainWindow(parent), m_env([&] {
          ViewEnvironment withJobs = env;
          withJobs.jobs = &m_jobs;
          return withJobs;
      }()),
      m_sidebar(new SidebarView(m_env)), m_workspace(new WorkspaceView(m_env)),
      m_splitter(new QSplitter(Qt::Horizontal, this)), m_title(new TitleLineView(m_env)), m_rightPane(new QToolButton),
      m_level(new WindowLevelSetter(this))
{
    setWindowTitle(QStringLiteral("Tallowmere"));
    setMinimumSize(minimumWindowSize);
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(firstRunSize(screen ? screen->availableSize() : minimumWindowSize));

    m_sidebar->setMinimumWidth(sidebarMinimum);
    m_sidebar->setMaximumWidth(sidebarMaximum);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_workspace);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setHandleWidth(1);
    m_splitter->setSizes({sidebarDefault, width() - sidebarDefault});
    setCentralWidget(m_splitter);

    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("titleBar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setVisible(false);
    toolbar->addWidget(m_title); // expands, which keeps the button at the right edge
    m_rightPane->setAutoRaise(true);
    m_rightPane->setFocusPolicy(Qt::NoFocus);
    m_rightPane->setObjectName(QStringLiteral("rightPaneButton"));
    m_rightPane->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::rightPane));
    toolbar->addWidget(m_rightPane);
    addToolBar(Qt::TopToolBarArea, toolbar);

    AppSettings *settings = env.settings;
    connect(m_rightPane, &QToolButton::clicked, settings, [settings] { settings->setRightPaneHidden(!settings->rightPaneHidden()); });
    connect(settings, &AppSettings::rightPaneHiddenChanged, this, &ContentView::retranslate);
    connect(settings, &AppSettings::languageChanged, this, &ContentView::retranslate);
    connect(settings, &AppSettings::floatOnTopChanged, m_level, [this] { m_level->setFloatOnTop(m_env.settings->floatOnTop()); });
    m_level->setFloatOnTop(settings->floatOnTop());
    followActivePane();
    retranslate();
}

QSize ContentView::firstRunSize(const QSize &available)
{
    return QSize(1440, 800).boundedTo(available * 9 / 10).expandedTo(minimumWindowSize);
}

ContentView::~ContentView()
{
    if (m_env.commands)
        m_env.commands->setTargetSource({});
}

// The pane's commands act on what the active pane has chosen.
void ContentView::followActivePane()
{
    PaneCommands *commands = m_env.commands;
    if (!commands)
        return;
    for (int i = 0; PaneView *pane = m_workspace->paneView(i); ++i) {
        connect(pane, &PaneView::commandTargetChanged, commands, &PaneCommands::refresh);
        // For the keys that act only while the keyboard is in a pane.
        pane->addActions(commands->actions());
    }
    commands->setTargetSource([this] {
        PaneView *pane = m_workspace->activePaneView();
        return pane ? pane->commandTarget() : CommandTarget();
    });
}

void ContentView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_rightPane->setToolTip(m_env.settings->rightPaneHidden() ? loc.showRightPane : loc.hideRightPane);
}

void ContentView::editLocation()
{
    if (PaneView *pane = m_workspace->activePaneView())
        pane->pathBar()->editPath();
}

void ContentView::restoreWindowState()
{
    QSettings store;
    const QByteArray geometry = store.value(geometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    const int sidebar = store.value(sidebarWidthKey, sidebarDefault).toInt();
    m_splitter->setSizes({std::clamp(sidebar, sidebarMinimum, sidebarMaximum), width()});
}

void ContentView::saveWindowState()
{
    QSettings store;
    store.setValue(geometryKey, saveGeometry());
    store.setValue(sidebarWidthKey, m_splitter->sizes().value(0, sidebarDefault));
}

bool ContentView::confirmCloseWhileWorking()
{
    if (m_jobs.pendingCount() == 0)
        return true;
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    QMessageBox box(QMessageBox::Warning, loc.closeWhileWorkingTitle, loc.closeWhileWorkingTitle,
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("closeWhileWorking"));
    box.setInformativeText(loc.closeWhileWorkingMessage);
    QPushButton *stop = box.addButton(loc.stopAndClose, QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton(loc.keepWorking, QMessageBox::RejectRole));
    box.exec();
    if (box.clickedButton() != stop)
        return false;
    m_jobs.cancelAll();
    return true;
}

void ContentView::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The keyboard starts in the active pane's list, ready for typing and arrows.
    m_workspace->focusActivePane();
}

void ContentView::closeEvent(QCloseEvent *event)
{
    if (!confirmCloseWhileWorking()) {
        event->ignore();
        return;
    }
    saveWindowState();
    QMainWindow::closeEvent(event);
}
