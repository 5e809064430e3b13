#pragma once
// One pane: a row of tabs, never empty, with one active tab. The pane owns its tabs; a closed
// tab is deleted (later, so a view still inside one of its signals is not pulled from under).

#include "tabmodel.h"

#include <QList>
#include <QObject>
#include "filepath.h"
#include <QUuid>


class PaneModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id CONSTANT)
    Q_PROPERTY(QList<TabModel *> tabs READ tabs NOTIFY tabsChanged)
    Q_PROPERTY(QUuid activeTabID READ activeTabID WRITE setActiveTabID NOTIFY activeTabIDChanged)
    Q_PROPERTY(TabModel *activeTab READ activeTab NOTIFY activeTabIDChanged)
    Q_PROPERTY(int activeTabIndex READ activeTabIndex WRITE setActiveTabIndex NOTIFY activeTabIDChanged)

public:
    // The first tab shows `url`, or `fallback` instead when `url` turns out to be no folder.
    PaneModel(const FilePath &url, bool showHidden, QObject *parent = nullptr, const FilePath &fallback = {});

    QUuid id() const { return m_id; }
    const QList<TabModel *> &tabs() const { return m_tabs; }
    QUuid activeTabID() const { return m_activeTabID; }
    // An id no tab has leaves the pane showing its first tab.
    void setActiveTabID(const QUuid &id);
    // The active tab; the first tab when no tab has activeTabID.
    TabModel *activeTab() const;
    int activeTabIndex() const;
    // Ignored outside the row of tabs.
    void setActiveTabIndex(int index);

    // A new tab at the end of the row, made active; it starts loading at once.
    TabModel *addTab(const FilePath &url, bool showHidden);
    TabModel *newTab(const FilePath &url, bool showHidden) { return addTab(url, showHidden); }
    // Closes a tab. The last tab can't be closed and an unknown id is ignored. Closing the
    // active tab activates its left neighbour, or the new first tab.
    void closeTab(const QUuid &id);

Q_SIGNALS:
    void tabsChanged();
    void activeTabIDChanged();

private:
    const QUuid m_id = QUuid::createUuid();
    QList<TabModel *> m_tabs;
    QUuid m_activeTabID;
};
