#include "tabstripview.h"

#include "appsettings.h"
#include "panemodel.h"
#include "tabchip.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "urls.h"
#include "workspacemodel.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QToolButton>

TabStripView::TabStripView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent)
    : QScrollArea(parent), m_env(env), m_pane(pane), m_row(new QWidget), m_layout(new QHBoxLayout(m_row)),
      m_add(new QToolButton(m_row))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
    m_row->setAutoFillBackground(false);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_add->setAutoRaise(true);
    m_add->setFocusPolicy(Qt::NoFocus);
    m_add->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::add));
    m_add->setObjectName(QStringLiteral("newTabButton"));
    setWidget(m_row);

    connect(m_add, &QToolButton::clicked, this, [this] {
        TabModel *active = m_pane->activeTab();
        m_pane->addTab(active->history().current(), active->showHidden());
        m_env.workspace->setActivePaneID(m_pane->id());
    });
    connect(m_pane, &PaneModel::tabsChanged, this, [this] {
        watchTabs();
        rebuild();
    });
    connect(m_pane, &PaneModel::activeTabIDChanged, this, &TabStripView::rebuild);
    watchTabs();
    rebuild();
}

QList<TabChip *> TabStripView::chips() const
{
    QList<TabChip *> result;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (auto *chip = qobject_cast<TabChip *>(m_layout->itemAt(i)->widget()))
            result << chip;
    }
    return result;
}

QSize TabStripView::sizeHint() const
{
    return {m_row->sizeHint().width(), m_row->sizeHint().height()};
}

QSize TabStripView::minimumSizeHint() const
{
    return {60, m_row->sizeHint().height()};
}

void TabStripView::watchTabs()
{
    for (const auto &connection : std::as_const(m_tabConnections))
        disconnect(connection);
    m_tabConnections.clear();
    for (TabModel *tab : m_pane->tabs())
        m_tabConnections << connect(tab, &TabModel::historyChanged, this, &TabStripView::rebuild);
}

void TabStripView::rebuild()
{
    m_layout->removeWidget(m_add);
    // The widget that was clicked may be the one asking for this rebuild: let it finish first.
    while (QLayoutItem *item = m_layout->takeAt(0)) {
        if (QWidget *old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    const QList<TabModel *> tabs = m_pane->tabs();
    const TabModel *active = m_pane->activeTab();
    const bool closable = tabs.size() >= 2;
    for (TabModel *tab : tabs) {
        QString title = Urls::lastPathComponent(tab->history().current());
        if (title.isEmpty())
            title = QStringLiteral("/");
        auto *chip = new TabChip(title, tab == active, closable, m_row);
        chip->setFont(m_env.settings->uiFont());
        const QUuid id = tab->id();
        connect(chip, &TabChip::clicked, this, [this, id] {
            m_pane->setActiveTabID(id);
            m_env.workspace->setActivePaneID(m_pane->id());
        });
        // Closing rebuilds the strip and deletes this chip, so the close runs after the click.
        connect(chip, &TabChip::closeClicked, this, [this, id] { m_pane->closeTab(id); }, Qt::QueuedConnection);
        m_layout->addWidget(chip);
    }
    m_layout->addWidget(m_add);
    m_layout->addStretch(1);
    updateGeometry();
}
