#include "panemodel.h"

#include "tabmodel.h"

PaneModel::PaneModel(const FilePath &url, bool showHidden, QObject *parent, const FilePath &fallback)
    : QObject(parent)
{
    auto *tab = new TabModel(url, showHidden, this, TabModel::defaultWatchDebounce, fallback);
    m_tabs.append(tab);
    m_activeTabID = tab->id();
}

void PaneModel::setActiveTabID(const QUuid &id)
{
    if (m_activeTabID == id)
        return;
    m_activeTabID = id;
    Q_EMIT activeTabIDChanged();
}

TabModel *PaneModel::activeTab() const
{
    const int index = activeTabIndex();
    return index >= 0 ? m_tabs.at(index) : m_tabs.value(0);
}

int PaneModel::activeTabIndex() const
{
    for (int i = 0; i < m_tabs.size(); ++i)
        if (m_tabs.at(i)->id() == m_activeTabID)
            return i;
    return m_tabs.isEmpty() ? -1 : 0;
}

void PaneModel::setActiveTabIndex(int index)
{
    if (index >= 0 && index < m_tabs.size())
        setActiveTabID(m_tabs.at(index)->id());
}

TabModel *PaneModel::addTab(const FilePath &url, bool showHidden)
{
    auto *tab = new TabModel(url, showHidden, this);
    m_tabs.append(tab);
    Q_EMIT tabsChanged();
    setActiveTabID(tab->id());
    return tab;
}

void PaneModel::closeTab(const QUuid &id)
{
    if (m_tabs.size() < 2)
        return;
    const auto found = std::find_if(m_tabs.begin(), m_tabs.end(), [&id](const TabModel *tab) { return tab->id() == id; });
    if (found == m_tabs.end())
        return;
    const int position = int(found - m_tabs.begin());
    // The neighbour on the left, or the tab that becomes the first; chosen before the removal so
    // that views never see the active tab missing from the row.
    if (m_activeTabID == id)
        setActiveTabID(m_tabs.at(position > 0 ? position - 1 : 1)->id());
    TabModel *closed = m_tabs.takeAt(position);
    Q_EMIT tabsChanged();
    closed->setParent(nullptr);
    closed->deleteLater();
}
