#include "statusbarview.h"

#include "appsettings.h"
#include "bytecount.h"
#include "filesystemservice.h"
#include "localization.h"
#include "tabmodel.h"
#include "theme.h"
#include "titlebarsummary.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QtConcurrent/QtConcurrentRun>

StatusBarView::StatusBarView(const ViewEnvironment &env, QWidget *parent)
    : QWidget(parent), m_env(env), m_leading(new QLabel(this)), m_free(new QLabel(this))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    for (QLabel *label : {m_leading, m_free}) {
        label->setFont(Theme::captionFont(font()));
        label->setForegroundRole(QPalette::PlaceholderText);
    }
    m_leading->setObjectName(QStringLiteral("statusCount"));
    m_free->setObjectName(QStringLiteral("statusFree"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    row->addWidget(m_leading);
    row->addStretch(1);
    row->addWidget(m_free);

    connect(m_env.settings, &AppSettings::languageChanged, this, &StatusBarView::retranslate);
}

void StatusBarView::setTab(TabModel *tab)
{
    if (tab == m_tab)
        return;
    if (m_tab)
        disconnect(m_tab, nullptr, this, nullptr);
    m_tab = tab;
    if (tab) {
        // The counts come from the entries; only a load (a new folder, a change seen in it, the
        // end of a transfer) asks the volume again.
        connect(tab, &TabModel::itemsChanged, this, &StatusBarView::retranslate);
        connect(tab, &TabModel::selectionChanged, this, &StatusBarView::retranslate);
        connect(tab, &TabModel::columnSelectionChanged, this, &StatusBarView::retranslate);
        connect(tab, &TabModel::viewModeChanged, this, &StatusBarView::retranslate);
        connect(tab, &TabModel::historyChanged, this, &StatusBarView::retranslate);
        connect(tab, &TabModel::loadFinished, this, &StatusBarView::askFreeSpace);
    }
    recount();
}

qint64 StatusBarView::totalSize(const QList<FileItem> &items)
{
    qint64 total = 0;
    for (const FileItem &item : items) {
        if (!item.isDirectory)
            total += item.size;
    }
    return total;
}

QString StatusBarView::leadingText() const
{
    return m_leading->text();
}

void StatusBarView::recount()
{
    retranslate();
    askFreeSpace();
}

void StatusBarView::askFreeSpace()
{
    if (!m_tab)
        return;
    // A newer question replaces the running one: only the last answer is shown.
    const FilePath folder = m_tab->history().current();
    m_tasks.cancelAll();
    m_tasks.watch(QtConcurrent::run(FutureOwner::factsPool(), [folder]() -> std::optional<qint64> {
                      try {
                          return FileSystemService().volumeAvailableCapacity(folder);
                      } catch (...) {
                          return std::nullopt;
                      }
                  }),
                  [this](const std::optional<qint64> &free) {
                      m_freeBytes = free;
                      retranslate();
                  });
}

void StatusBarView::retranslate()
{
    if (!m_tab) {
        m_leading->clear();
        m_free->clear();
        return;
    }
    const Localization &loc = Localization::forLanguage(m_env.settings->language());
    const QList<FileItem> selected = m_tab->shownSelection();
    if (!selected.isEmpty()) {
        m_leading->setText(Localization::fill(loc.selectionSummaryFormat,
                                              {QString::number(selected.size()),
                                               ByteCount::text(totalSize(selected))}));
    } else {
        const qsizetype count = m_tab->listing()->entryCount();
        m_leading->setText(count == 1 ? loc.oneItem : Localization::fill(loc.itemCountFormat, {QString::number(count)}));
    }
    const QString free = m_freeBytes ? Localization::fill(loc.freeSpaceFormat, {ByteCount::text(*m_freeBytes)})
                                     : QString();
    if (free != m_free->text()) {
        m_free->setText(free);
        Q_EMIT freeTextChanged(free);
    }
}
