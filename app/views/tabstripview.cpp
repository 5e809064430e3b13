#include "tabstripview.h"

#include "appsettings.h"
#include "panemodel.h"
#include "tabchip.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "workspacemodel.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QToolButton>

TabStripView::TabStripView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent)
    : SidewaysStrip(QMargins(), parent), m_env(env), m_pane(pane),
      m_add(new QToolButton(row()))
{
    m_add->setAutoRaise(true);
    m_add->setFocusPolicy(Qt::NoFocus);
    m_add->setIcon(ThemeIcons::icon(ThemeIcons::Symbol::add));
    m_add->setObjectName(QStringLiteral("newTabButton"));

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
    for (int i = 0; i < rowLayout()->count(); ++i) {
        if (auto *chip = qobject_cast<TabChip *>(rowLayout()->itemAt(i)->widget()))
            result << chip;
    }
    return result;
}

QSize TabStripView::sizeHint() const
{
    return {row()->sizeHint().width(), row()->sizeHint().height()};
}

QSize TabStripView::minimumSizeHint() const
{
    return {60, row()->sizeHint().height()};
}

void TabStripView::watchTabs()
{
    // A closed tab takes its connection with it.
    for (TabModel *tab : m_pane->tabs())
        connect(tab, &TabModel::historyChanged, this, &TabStripView::rebuild, Qt::UniqueConnection);
}

void TabStripView::rebuild()
{
    rowLayout()->removeWidget(m_add);
    // The widget that was clicked may be the one asking for this rebuild: let it finish first.
    while (QLayoutItem *item = rowLayout()->takeAt(0)) {
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
        QString title = tab->history().current().displayName();
        if (title.isEmpty())
            title = QStringLiteral("/");
        auto *chip = new TabChip(title, tab == active, closable, row());
        chip->setFont(m_env.settings->uiFont());
        const QUuid id = tab->id();
        connect(chip, &TabChip::clicked, this, [this, id] {
            m_pane->setActiveTabID(id);
            m_env.workspace->setActivePaneID(m_pane->id());
        });
        // Closing rebuilds the strip and deletes this chip, so the close runs after the click.
        connect(chip, &TabChip::closeClicked, this, [this, id] { m_pane->closeTab(id); }, Qt::QueuedConnection);
        rowLayout()->addWidget(chip);
    }
    rowLayout()->addWidget(m_add);
    rowLayout()->addStretch(1);
    updateGeometry();
}
