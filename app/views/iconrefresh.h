#pragma once
// The icon cache as one list sees it: the cache its rows ask, and one refresh of those rows
// shortly after fetched icons arrive, however many arrive together. The connection has the
// list as its context, so a list that goes simply stops hearing of icons.

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class IconCache;

class IconRefresh
{
public:
    explicit IconRefresh(QObject *list, std::function<void()> refresh);
    ~IconRefresh();
    IconRefresh(const IconRefresh &) = delete;
    IconRefresh &operator=(const IconRefresh &) = delete;

    // Follows `cache` (none: rows have no icons) and refreshes at once.
    void setCache(IconCache *cache);
    IconCache *cache() const;

private:
    QObject *m_list;
    std::function<void()> m_refresh;
    QPointer<IconCache> m_cache;
    QMetaObject::Connection m_arrivals;
    QTimer m_timer;
};
