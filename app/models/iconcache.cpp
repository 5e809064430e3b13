#include "iconcache.h"

#include "iconprovider.h"
#include "urls.h"

#include <QFuture>
#include <QPointer>
#include <QtConcurrentRun>

IconCache::IconCache(Provider provider, QObject *parent) : QObject(parent), m_provider(std::move(provider))
{
    // Icons are a nicety: they must never slow down listings or the user's own work.
    m_pool.setThreadPriority(QThread::LowPriority);
}

IconCache::~IconCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

IconCache &IconCache::shared()
{
    static IconCache cache;
    return cache;
}

QStringList IconCache::defaultProvider(const QString &path)
{
    return IconProvider::iconNamesFor(path);
}

void IconCache::icon(const QUrl &url, QObject *context, Done done)
{
    const QString path = Urls::path(url);
    const auto found = m_icons.constFind(path);
    if (found != m_icons.constEnd()) {
        if (done)
            done(*found);
        return;
    }
    // Overlapping requests for one path each fetch; the last to finish stays in the cache.
    QtConcurrent::run(&m_pool, m_provider, path)
        .then(this, [this, path, hasContext = context != nullptr, guard = QPointer<QObject>(context),
                     done = std::move(done)](const QStringList &names) {
            store(path, names, hasContext && !guard ? Done() : done);
        });
}

std::optional<QIcon> IconCache::cachedIcon(const QUrl &url) const
{
    const auto found = m_icons.constFind(Urls::path(url));
    if (found == m_icons.constEnd())
        return std::nullopt;
    return *found;
}

void IconCache::store(const QString &path, const QStringList &names, const Done &done)
{
    const QIcon icon = sharedIcon(names);
    m_icons.insert(path, icon);
    if (done)
        done(icon);
    Q_EMIT iconReady(path, icon);
}

QIcon IconCache::sharedIcon(const QStringList &names)
{
    auto found = m_iconsByNames.find(names);
    if (found == m_iconsByNames.end())
        found = m_iconsByNames.insert(names, IconProvider::iconFor(names));
    return *found;
}
