#include "iconcache.h"

#include "iconprovider.h"

#include <QCoreApplication>
#include <QPromise>
#include <QtConcurrentRun>

IconCache::IconCache(Provider provider, QObject *parent)
    : QObject(parent), m_provider(std::move(provider))
{
    // Icons are a nicety: they must never slow down listings or the user's own work.
    m_pool.setThreadPriority(QThread::LowPriority);
    m_dispatchTimer.setSingleShot(true);
    m_dispatchTimer.setInterval(0);
    connect(&m_dispatchTimer, &QTimer::timeout, this, &IconCache::dispatch);
}

// Owned by the application object, so it goes (and its fetches end) before static destructors
// tear down what the background fetches use.
IconCache &IconCache::shared()
{
    static QPointer<IconCache> cache;
    if (!cache)
        cache = new IconCache(&defaultProvider, QCoreApplication::instance());
    return *cache;
}

QStringList IconCache::defaultProvider(const FilePath &path)
{
    return IconProvider::iconNamesFor(path);
}

std::optional<QIcon> IconCache::icon(const FilePath &url)
{
    const PathKey key = keyOf(url);
    const auto found = m_icons.constFind(key);
    if (found != m_icons.constEnd())
        return *found;
    if (!m_fetching.contains(key)) {
        m_fetching.insert(key);
        m_pending.append(url);
        m_dispatchTimer.start();
    }
    return std::nullopt;
}

void IconCache::dispatch()
{
    // Taken whole, so that a burst of requests doesn't leave its capacity behind.
    const QList<FilePath> pending = std::exchange(m_pending, {});
    m_fetches += pending.size();
    for (qsizetype begin = 0; begin < pending.size(); begin += batchSize) {
        const QList<FilePath> paths = pending.mid(begin, batchSize);
        const auto fetch = [provider = m_provider, paths](QPromise<QList<QStringList>> &promise) {
            QList<QStringList> names;
            names.reserve(paths.size());
            for (const FilePath &path : paths) {
                if (promise.isCanceled())
                    return;
                names.append(provider(path));
            }
            promise.addResult(names);
        };
        m_tasks.watch(QtConcurrent::run(&m_pool, fetch), [this, paths](const QList<QStringList> &names) {
            for (qsizetype i = 0; i < paths.size(); ++i)
                store(paths.at(i), names.at(i));
        });
    }
}

std::optional<QIcon> IconCache::cachedIcon(const FilePath &url) const
{
    const auto found = m_icons.constFind(keyOf(url));
    if (found == m_icons.constEnd())
        return std::nullopt;
    return *found;
}

void IconCache::store(const FilePath &path, const QStringList &names)
{
    const QIcon icon = sharedIcon(names);
    const PathKey key = keyOf(path);
    m_icons.insert(key, icon);
    m_fetching.remove(key);
    if (m_fetching.isEmpty())
        m_fetching.squeeze();
    Q_EMIT iconReady(path, icon);
}

IconCache::PathKey IconCache::keyOf(const FilePath &path)
{
    return {qHash(path, size_t(0x9e3779b97f4a7c15)), qHash(path, size_t(0xc2b2ae3d27d4eb4f))};
}

QIcon IconCache::sharedIcon(const QStringList &names)
{
    auto found = m_iconsByNames.find(names);
    if (found == m_iconsByNames.end())
        found = m_iconsByNames.insert(names, IconProvider::iconFor(names));
    return *found;
}
