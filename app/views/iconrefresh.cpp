#include "iconrefresh.h"

#include "iconcache.h"

IconRefresh::IconRefresh(QObject *list, std::function<void()> refresh) : m_list(list), m_refresh(std::move(refresh))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(30);
    QObject::connect(&m_timer, &QTimer::timeout, list, [this] { m_refresh(); });
}

// It goes before the list's own QObject: no announcement may reach the list in between.
IconRefresh::~IconRefresh()
{
    QObject::disconnect(m_arrivals);
}

IconCache *IconRefresh::cache() const
{
    return m_cache;
}

void IconRefresh::setCache(IconCache *cache)
{
    QObject::disconnect(m_arrivals);
    m_cache = cache;
    if (cache)
        m_arrivals = QObject::connect(cache, &IconCache::iconReady, m_list, [this] { m_timer.start(); });
    m_refresh();
}
