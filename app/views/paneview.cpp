#include "paneview.h"

#include "applicationchooser.h"
#include "applicationregistry.h"
#include "appsettings.h"
#include "columnbrowserview.h"
#include "dialoghost.h"
#include "errortext.h"
#include "fileerror.h"
#include "filejob.h"
#include "fuzzyfinderpalette.h"
#include "filelistview.h"
#include "filenames.h"
#include "filetableview.h"
#include "filesystemservice.h"
#include "localization.h"
#include "namedialog.h"
#include "paneactions.h"
#include "panemodel.h"
#include "pathbarview.h"
#include "statusbarview.h"
#include "tabmodel.h"
#include "tabstripview.h"
#include "theme.h"
#include "themeicons.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFrame *dividerLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette linePalette = line->palette();
    linePalette.setColor(QPalette::Window, Theme::daziduvEdiv().divider);
    line->setPalette(linePalette);
    return line;
}

} // namespace

PaneView::PaneView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent)
    : QWidget(parent), m_env(env), m_pane(pane)
{
    m_pathBar = new PathBarView(env, this);
    m_statusBar = new StatusBarView(env, this);
    m_contentSlot = new QStackedWidget(this);
    m_contentSlot->addWidget(new QWidget(m_contentSlot));

    auto *column = new QVBoxLayout(this);
    // The line above the header is drawn in the accent colour while this pane is the active one.
    column->setContentsMargins(0, activeLineWidth, 0, 0);
    column->setSpacing(0);
    column->addWidget(makeHeader());
    column->addWidget(m_pathBar);
    column->addWidget(dividerLine(this));
    column->addWidget(m_contentSlot, 1);
    column->addWidget(dividerLine(this));
    column->addWidget(m_statusBar);

    connect(m_pathBar, &PathBarView::editingFinished, this, &PaneView::focusContent);
    connect(pane, &PaneModel::activeTabIDChanged, this, &PaneView::bindActiveTab);
    connect(pane, &PaneModel::tabsChanged, this, &PaneView::bindActiveTab);
    connect(env.workspace, &WorkspaceModel::activePaneIDChanged, this, qOverload<>(&QWidget::update));
    connect(env.settings, &AppSettings::showHiddenChanged, this, &PaneView::updateButtons);
    connect(env.settings, &AppSettings::languageChanged, this, &PaneView::retranslate);
    bindActiveTab();
    retranslate();
}

PaneView::~PaneView() = default;

ColumnBrowserView *PaneView::columnBrowser() const
{
    return m_browser;
}

QToolButton *PaneView::headerButton(const QString &objectName)
{
    auto *button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(objectName);
    return button;
}

QWidget *PaneView::makeHeader()
{
    auto *header = new QWidget(this);
    header->setAutoFillBackground(true);
    header->setBackgroundRole(QPalette::Button);
    m_back = headerButton(QStringLiteral("backButton"));
    m_forward = headerButton(QStringLiteral("forwardButton"));
    m_up = headerButton(QStringLiteral("upButton"));
    m_back->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::back));
    m_forward->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::forward));
    m_up->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::up));
    m_tabStrip = new TabStripView(m_env, m_pane, header);
    m_filter = headerButton(QStringLiteral("filterButton"));
    m_hidden = headerButton(QStringLiteral("hiddenButton"));
    m_newFolder = headerButton(QStringLiteral("newFolderButton"));
    m_newFile = headerButton(QStringLiteral("newFileButton"));
    m_viewMode = headerButton(QStringLiteral("viewModeButton"));
    m_terminal = headerButton(QStringLiteral("terminalButton"));
    m_filter->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::filter));
    m_newFolder->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::newFolder));
    m_newFile->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::newFile));
    m_terminal->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::terminal));

    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(2);
    for (QToolButton *button : {m_back, m_forward, m_up})
        row->addWidget(button);
    row->addSpacing(6);
    row->addWidget(m_tabStrip, 1);
    row->addSpacing(6);
    for (QToolButton *button : {m_filter, m_hidden, m_newFolder, m_newFile, m_viewMode, m_terminal})
        row->addWidget(button);

    connect(m_back, &QToolButton::clicked, this, [this] { m_pane->activeTab()->goBack(); });
    connect(m_forward, &QToolButton::clicked, this, [this] { m_pane->activeTab()->goForward(); });
    connect(m_up, &QToolButton::clicked, this, [this] {
        TabModel *tab = m_pane->activeTab();
        tab->navigate(tab->history().current().parentDir());
    });
    connect(m_filter, &QToolButton::clicked, this, [this] {
        TabModel *tab = m_pane->activeTab();
        const bool active = !tab->filterActive();
        tab->setFilterActive(active);
        if (!active)
            tab->setFilterQuery(QString());
    });
    connect(m_hidden, &QToolButton::clicked, this, [this] { m_env.settings->setShowHidden(!m_env.settings->showHidden()); });
    connect(m_newFolder, &QToolButton::clicked, this, &PaneView::openNewFolderDialog);
    connect(m_newFile, &QToolButton::clicked, this, &PaneView::openNewFileDialog);
    connect(m_viewMode, &QToolButton::clicked, this, [this] {
        TabModel *tab = m_pane->activeTab();
        tab->setViewMode(tab->viewMode() == ViewMode::list ? ViewMode::column : ViewMode::list);
    });
    connect(m_terminal, &QToolButton::clicked, this, [this] {
        FileSystemService().openInTerminal(m_pane->activeTab()->history().current(), this, [this](const FileError &error) {
            if (m_dialogs)
                m_dialogs->showError(ErrorText::message(error, Localization::forLanguage(m_env.settings->language())));
        });
    });
    return header;
}

void PaneView::chooseApplication(const QList<FileItem> &items)
{
    if (items.isEmpty())
        return;
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    auto *chooser = new ApplicationChooser(ApplicationRegistry::fromEnvironment({loc.languageCode}).allApplications(),
                                           FileNames::displayName(items.first().name), loc, this);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &QDialog::accepted, this, [this, chooser, items] {
        if (const std::optional<DesktopEntry> application = chooser->chosen())
            m_actions->openWith(items, *application);
    });
    chooser->open();
}

void PaneView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    ensureActions();
}

void PaneView::ensureActions()
{
    if (m_actions)
        return;
    m_dialogs = new DialogHost(m_env, this);
    m_actions = new PaneActions(m_env.workspace, m_pane, m_env.settings, m_dialogs, m_env.jobs, this);
    m_actions->setOnNewFolder([this] { openNewFolderDialog(); });
    m_actions->setOnNewFile([this] { openNewFileDialog(); });
    m_actions->setOnChooseApplication([this](const QList<FileItem> &items) { chooseApplication(items); });
    m_list = new FileListView(m_env, m_pane, m_actions, m_contentSlot);
    m_list->setObjectName(QStringLiteral("paneContent"));
    m_contentSlot->addWidget(m_list);
    connect(m_list, &FileListView::commandTargetChanged, this, &PaneView::commandTargetChanged);
    bindActiveTab();
}

CommandTarget PaneView::commandTarget() const
{
    if (m_browser && m_content == m_browser)
        return m_browser->commandTarget();
    return m_list ? m_list->commandTarget() : CommandTarget();
}

void PaneView::bindActiveTab()
{
    TabModel *tab = m_pane->activeTab();
    if (tab != m_tab) {
        if (m_tab)
            disconnect(m_tab, nullptr, this, nullptr);
        m_tab = tab;
        connect(tab, &TabModel::historyChanged, this, &PaneView::updateButtons);
        connect(tab, &TabModel::viewModeChanged, this, &PaneView::updateButtons);
        connect(tab, &TabModel::filterActiveChanged, this, &PaneView::updateButtons);
        connect(tab, &TabModel::historyChanged, this, &PaneView::showContent);
        connect(tab, &TabModel::viewModeChanged, this, &PaneView::showContent);
        connect(tab, &TabModel::showHiddenChanged, this, &PaneView::showContent);
    }
    m_pathBar->setTab(tab);
    m_statusBar->setTab(tab);
    if (m_list)
        m_list->setTab(tab);
    showContent();
    updateButtons();
}

// In column view a browser is made for the tab's folder (and its hidden-entry choice) and
// remade when either changes; the list stays bound to the tab meanwhile, so switching back
// shows its own selection again.
void PaneView::showContent()
{
    if (!m_list || !m_tab)
        return;
    QWidget *focus = QApplication::focusWidget();
    const bool hadFocus = m_content && focus && (focus == m_content || m_content->isAncestorOf(focus));
    const bool columns = m_tab->viewMode() == ViewMode::column;
    const bool current = m_browser && m_browser->tab() == m_tab && m_browser->model()->rootURL() == m_tab->currentUrl()
                         && m_browser->model()->showHidden() == m_tab->showHidden();
    if (m_browser && (!columns || !current)) {
        // It may be mid-way through one of its own calls (a double click that navigated).
        m_contentSlot->removeWidget(m_browser);
        m_browser->hide();
        m_browser->deleteLater();
        m_browser = nullptr;
    }
    if (columns && !m_browser) {
        m_browser = new ColumnBrowserView(m_env, m_pane, m_tab, m_actions, m_contentSlot);
        m_browser->setObjectName(QStringLiteral("columnBrowser"));
        m_contentSlot->addWidget(m_browser);
        connect(m_browser, &ColumnBrowserView::commandTargetChanged, this, &PaneView::commandTargetChanged);
    }
    m_content = columns ? static_cast<QWidget *>(m_browser) : m_list;
    m_contentSlot->setCurrentWidget(m_content);
    if (hadFocus)
        focusContent();
    Q_EMIT commandTargetChanged();
}

void PaneView::updateButtons()
{
    if (!m_tab)
        return;
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    m_back->setEnabled(m_tab->history().canGoBack());
    m_forward->setEnabled(m_tab->history().canGoForward());
    const bool shown = m_env.settings->showHidden();
    m_hidden->setIcon(ThemeIcons::icon(shown ? ThemeIcons::Symbol::hiddenShown : ThemeIcons::Symbol::hiddenConcealed));
    m_hidden->setToolTip(shown ? loc.showHiddenHide : loc.showHiddenShow);
    const bool list = m_tab->viewMode() == ViewMode::list;
    m_viewMode->setIcon(ThemeIcons::icon(list ? ThemeIcons::Symbol::columnView : ThemeIcons::Symbol::listView));
    m_viewMode->setToolTip(list ? loc.viewModeColumn : loc.viewModeList);
    m_filter->setCheckable(true);
    m_filter->setChecked(m_tab->filterActive());
}

void PaneView::retranslate()
{
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    // Tooltips name the key that does the same.
    const auto withKey = [](const QString &text, const QKeySequence &key) {
        return QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
    };
    m_back->setToolTip(withKey(loc.goBack, QKeySequence(Qt::ALT | Qt::Key_Left)));
    m_forward->setToolTip(withKey(loc.goForward, QKeySequence(Qt::ALT | Qt::Key_Right)));
    m_up->setToolTip(withKey(loc.goUp, QKeySequence(Qt::ALT | Qt::Key_Up)));
    m_filter->setToolTip(withKey(loc.filterPlaceholder, QKeySequence(Qt::CTRL | Qt::Key_F)));
    m_newFolder->setToolTip(withKey(loc.newFolderTitle, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)));
    m_newFile->setToolTip(loc.newFileTitle);
    m_terminal->setToolTip(loc.openInTerminal);
    if (m_newFolderDialog)
        m_newFolderDialog->setTexts(loc.newFolderTitle, loc.folderNamePlaceholder, loc.cancel, loc.createConfirm);
    if (m_newFileDialog)
        m_newFileDialog->setTexts(loc.newFileTitle, loc.fileNamePlaceholder, loc.cancel, loc.createConfirm);
    updateButtons();
}

void PaneView::focusContent()
{
    if (m_browser && m_content == m_browser)
        m_browser->focusActiveColumn();
    else if (m_list)
        m_list->table()->setFocus(Qt::OtherFocusReason);
    else
        m_contentSlot->setFocus(Qt::OtherFocusReason);
}

void PaneView::paintEvent(QPaintEvent *)
{
    const Theme theme = Theme::daziduvEdiv();
    const bool active = m_env.workspace->activePaneID() == m_pane->id();
    QPainter painter(this);
    if (active)
        painter.fillRect(rect(), theme.activePaneTint);
    painter.fillRect(QRect(0, 0, width(), activeLineWidth), active ? theme.accent : theme.secondaryBackground);
}

void PaneView::openNewFolderDialog()
{
    openNameDialog(NewItem::folder);
}

void PaneView::openNewFileDialog()
{
    openNameDialog(NewItem::file);
}

QPointer<NameDialog> &PaneView::dialogFor(NewItem kind)
{
    return kind == NewItem::folder ? m_newFolderDialog : m_newFileDialog;
}

QString &PaneView::typedNameFor(NewItem kind)
{
    return kind == NewItem::folder ? m_newFolderName : m_newFileName;
}

void PaneView::openNameDialog(NewItem kind)
{
    QPointer<NameDialog> &dialog = dialogFor(kind);
    if (dialog) {
        dialog->raise();
        return;
    }
    dialog = new NameDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(kind == NewItem::folder ? QStringLiteral("newFolderDialog") : QStringLiteral("newFileDialog"));
    // The field keeps what was typed between openings unless a creation succeeded.
    dialog->setName(typedNameFor(kind));
    connect(dialog, &NameDialog::nameChanged, this, [this, kind](const QString &name) { typedNameFor(kind) = name; });
    connect(dialog, &NameDialog::confirmed, this, [this, kind](const QString &name) { createItem(kind, name); });
    retranslate();
    dialog->open();
}

void PaneView::createItem(NewItem kind, const QString &name)
{
    ensureActions();
    TabModel *tab = m_pane->activeTab();
    // The prompt closes at once, so a folder slow to answer holds the job and not the window; a
    // failure is told in the alert, and the name typed is offered again next time.
    if (NameDialog *dialog = dialogFor(kind))
        dialog->accept();
    FileJob *job = m_actions->createItem(kind, name, tab->history().current());
    connect(job, &FileJob::finished, this, [this, job, kind, tab = QPointer<TabModel>(tab)] {
        if (const std::optional<FileError> &error = job->error()) {
            const auto subject = kind == NewItem::folder ? ErrorText::Subject::folder : ErrorText::Subject::file;
            if (m_dialogs)
                m_dialogs->showError(ErrorText::message(*error, Localization::forLanguage(m_env.settings->language()), subject));
            return;
        }
        typedNameFor(kind).clear();
        if (!tab)
            return;
        tab->reload();
        // The new item is selected, so Return opens it and F2 renames it.
        if (tab == m_pane->activeTab() && tab->history().current() == job->madeUrls().value(0).parentDir())
            m_list->reveal(job->madeUrls().first());
    });
}
