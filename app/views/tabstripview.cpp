#include "tabstripview.h"

#include "appsettings.h"
#include "localization.h"
#include "panemodel.h"
#include "tabchip.h"
#include "tabmodel.h"
#include "themeicons.h"
#include "workspacemodel.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

TabStripView::TabStripView(const ViewEnvironment &env, PaneModel *pane, QWidget *parent)
    : SidewaysStrip(QMargins(), parent), m_env(env), m_pane(pane),
      m_add(new QToolButton(this))
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
    connect(m_env.settings, &AppSettings::monospacedFontNameChanged, this, &TabStripView::rebuild);
    connect(m_env.settings, &AppSettings::fontSizeChanged, this, &TabStripView::rebuild);
    connect(m_env.settings, &AppSettings::languageChanged, this, &TabStripView::rebuild);
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
    return {row()->sizeHint().width() + m_add->sizeHint().width(),
            std::max(row()->sizeHint().height(), m_add->sizeHint().height())};
}

QSize TabStripView::minimumSizeHint() const
{
    return {60 + m_add->sizeHint().width(), sizeHint().height()};
}

void TabStripView::resizeEvent(QResizeEvent *event)
{
    SidewaysStrip::resizeEvent(event);
    placeAddButton();
    showActiveChip();
}

// "+" sits outside the scrolling part, right after the chips, or at the end when they overflow.
void TabStripView::placeAddButton()
{
    const QSize add = m_add->sizeHint();
    setViewportMargins(0, 0, add.width(), 0);
    const int chipsEnd = std::min(row()->sizeHint().width(), viewport()->width());
    m_add->setGeometry(chipsEnd, (height() - add.height()) / 2, add.width(), add.height());
}

void TabStripView::showActiveChip()
{
    for (TabChip *chip : chips()) {
        if (chip->isActive())
            ensureWidgetVisible(chip, 0, 0);
    }
}

void TabStripView::watchTabs()
{
    // A closed tab takes its connection with it.
    for (TabModel *tab : m_pane->tabs())
        connect(tab, &TabModel::historyChanged, this, &TabStripView::rebuild, Qt::UniqueConnection);
}

void TabStripView::rebuild()
{
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
        auto *chip = new TabChip(title, tab == active, closable, m_env.settings->uiFont(), row());
        chip->setToolTip(Qt::convertFromPlainText(tab->history().current().displayPath()));
        const QUuid id = tab->id();
        connect(chip, &TabChip::clicked, this, [this, id] {
            m_pane->setActiveTabID(id);
            m_env.workspace->setActivePaneID(m_pane->id());
        });
        // Closing rebuilds the strip and deletes this chip, so the close runs after the click.
        connect(chip, &TabChip::closeClicked, this, [this, id] { m_pane->closeTab(id); }, Qt::QueuedConnection);
        rowLayout()->addWidget(chip);
        // Shown now rather than when the layout gets round to it: a hidden chip would count for
        // nothing in the size the strip asks for just below, and the pane's header would shrink.
        chip->show();
    }
    rowLayout()->addStretch(1);
    m_add->setToolTip(QStringLiteral("%1 (%2)").arg(Localization::forLanguage(m_env.settings->language()).newTab,
                                                    QKeySequence(Qt::CTRL | Qt::Key_T).toString(QKeySequence::NativeText)));
    updateGeometry();
    fitRow();
    placeAddButton();
    showActiveChip();
    // Again once the pane's header has taken the strip's new size.
    QTimer::singleShot(0, this, [this] {
        fitRow();
        placeAddButton();
        showActiveChip();
    });
}
