#include "titlelineview.h"

#include "appsettings.h"
#include "datetext.h"
#include "filenames.h"
#include "filesystemservice.h"
#include "localization.h"
#include "owlbadgeview.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "titlebarsummary.h"
#include "workspacemodel.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QTextDocument>
#include <QtConcurrent/QtConcurrentRun>

TitleLineView::TitleLineView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_badge(new OwlBadgeView(OwlBadgeView::titleFrames(), OwlBadgeView::titleStep, this)),
      m_label(new QLabel(this))
{
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(12);
    m_label->setFont(mono);
    m_label->setForegroundRole(QPalette::PlaceholderText);
    m_label->setObjectName(QStringLiteral("titleLine"));
    m_label->setTextFormat(Qt::PlainText);
    // The label takes whatever width the toolbar leaves and shortens the text to fit it; its
    // own (full text) width must neither push the window wider nor keep it from narrowing.
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_label->setMinimumWidth(0);
    m_label->installEventFilter(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(6);
    row->addWidget(m_badge);
    row->addWidget(m_label, 1);

    m_coalesce.setSingleShot(true);
    m_coalesce.setInterval(0);
    connect(&m_coalesce, &QTimer::timeout, this, &TitleLineView::updateText);
    connect(env.workspace, &WorkspaceModel::activePaneIDChanged, this, &TitleLineView::rebind);
    for (PaneModel *pane : env.workspace->panes()) {
        connect(pane, &PaneModel::activeTabIDChanged, this, &TitleLineView::rebind);
        connect(pane, &PaneModel::tabsChanged, this, &TitleLineView::rebind);
    }
    connect(env.settings, &AppSettings::languageChanged, this, &TitleLineView::scheduleUpdate);
    rebind();
}

void TitleLineView::rebind()
{
    if (m_tab)
        disconnect(m_tab, nullptr, this, nullptr);
    TabModel *tab = m_env.workspace->activePane()->activeTab();
    m_tab = tab;
    connect(tab, &TabModel::historyChanged, this, &TitleLineView::scheduleUpdate);
    connect(tab, &TabModel::itemsChanged, this, &TitleLineView::scheduleUpdate);
    connect(tab, &TabModel::selectionChanged, this, &TitleLineView::scheduleUpdate);
    connect(tab, &TabModel::viewModeChanged, this, &TitleLineView::scheduleUpdate);
    connect(tab, &TabModel::columnSelectionChanged, this, &TitleLineView::scheduleUpdate);
    connect(tab, &TabModel::columnFocusDirectoryChanged, this, &TitleLineView::scheduleUpdate);
    scheduleUpdate();
}

void TitleLineView::scheduleUpdate()
{
    // Several of the tab's fields change together on a navigation; one summary is enough.
    m_coalesce.start();
}

void TitleLineView::updateText()
{
    // A read for what was shown before is of no use any more.
    m_reads.cancelAll();
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    const TabModel *tab = m_env.workspace->activePane()->activeTab();
    const bool columns = tab->viewMode() == ViewMode::column;
    const QList<FileItem> selected = tab->shownSelection();
    if (selected.size() >= 2) {
        showText(Localization::fill(loc.itemsSelectedFormat, {QString::number(selected.size())}));
        return;
    }
    FilePath url = columns && !tab->columnFocusDirectory().isEmpty() ? tab->columnFocusDirectory() : tab->history().current();
    bool isDirectory = true;
    if (selected.size() == 1) {
        url = selected.first().url;
        isDirectory = selected.first().isDirectory;
    }
    m_reads.watch(QtConcurrent::run(FutureOwner::factsPool(), [url = url] { return FileSystemService().infoIfReadable(url); }), [this, url, isDirectory](const std::optional<FileInfo> &info) {
        showText(summary(url, isDirectory, info, Localization::forLanguage(m_env.settings->language())));
    });
}

void TitleLineView::showText(const QString &text)
{
    const bool changed = text != m_text;
    m_text = text;
    elide();
    if (changed)
        Q_EMIT titleTextChanged(text);
}

// Shortened in the middle only when the label lacks room: the name and the dates at the ends are
// what a reader looks for.
void TitleLineView::elide()
{
    const QString shown = m_label->fontMetrics().elidedText(m_text, Qt::ElideMiddle, m_label->contentsRect().width());
    m_label->setText(shown);
    m_label->setToolTip(shown == m_text ? QString() : Qt::convertFromPlainText(m_text));
}

bool TitleLineView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::Resize)
        elide();
    return QWidget::eventFilter(watched, event);
}

QString TitleLineView::kind(const FilePath &url, bool isDirectory, const Localization &loc)
{
    if (isDirectory)
        return loc.infoFolder;
    const QString name = url.displayName();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    return FileNames::splitExtension(name).second.toUpper();
}

QString TitleLineView::summary(const FilePath &url, bool isDirectory, const std::optional<FileInfo> &info,
                               const Localization &loc)
{
    const QString name = FileNames::displayName(info ? info->name : url.fileName());
    TitleBarSummary::Format format;
    format.createdLabel = loc.titleCreated;
    format.modifiedLabel = loc.titleModified;
    format.separator = QStringLiteral(" \u00B7 ");
    format.formatDate = &DateText::date;
    return TitleBarSummary::single(name, kind(url, isDirectory, loc), isDirectory || !info ? std::nullopt : info->byteSize,
                                   info ? info->created : std::nullopt, info ? info->modified : std::nullopt, format);
}
