#include "iconcache.h"

#include "iconprovider.h"
#include "urls.h"

#include <QCoreApplication>
#include <QFuture>
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

IconCache::~IconCache()
{
    m_pool.clear();
    m_pool.waitForDone();
}

// Owned by the application object, so it goes (and its pool is joined) before static
// destructors tear down what the background fetches use.
IconCache &IconCache::shared()
{
    static QPointer<IconCache> cache;
    if (!cache)
        cache = new IconCache(&defaultProvider, QCoreApplication::instance());
    return *cache;
}

QStringList IconCache::defaultProvider(const QString &path)
{
    return IconProvider::iconNamesFor(path);
}

void IconCache::icon(const QUrl &url, QObject *context, Done done)
{
    const QString path = Urls::path(url);
    const auto found = m_icons.constFind(keyOf(path));
    if (found != m_icons.constEnd()) {
        if (done)
            done(*found);
        return;
    }
    m_pending.append({path, context != nullptr, context, std::move(done)});
    m_dispatchTimer.start();
}

void IconCache::dispatch()
{
    // Taken whole, so that a burst of requests doesn't leave its capacity behind.
    const QList<Request> pending = std::exchange(m_pending, {});
    m_fetches += pending.size();
    for (qsizetype begin = 0; begin < pending.size(); begin += batchSize) {
        QList<Request> batch = pending.mid(begin, batchSize);
        QStringList paths;
        paths.reserve(batch.size());
        for (const Request &request : batch)
            paths.append(request.path);
        QtConcurrent::run(&m_pool,
                          [provider = m_provider, paths = std::move(paths)] {
                              QList<QStringList> names;
                              names.reserve(paths.size());
                              for (const QString &path : paths)
                                  names.append(provider(path));
                              return names;
                          })
            .then(this, [this, batch = std::move(batch)](const QList<QStringList> &names) {
                for (qsizetype i = 0; i < batch.size(); ++i)
                    store(batch.at(i), names.at(i));
            });
    }
}

std::optional<QIcon> IconCache::cachedIcon(const QUrl &url) const
{
    const auto found = m_icons.constFind(keyOf(Urls::path(url)));
    if (found == m_icons.constEnd())
        return std::nullopt;
    return *found;
}

void IconCache::store(const Request &request, const QStringList &names)
{
    const QIcon icon = sharedIcon(names);
    m_icons.insert(keyOf(request.path), icon);
    if (request.done && (!request.hasContext || request.context))
        request.done(icon);
    Q_EMIT iconReady(request.path, icon);
}

IconCache::PathKey IconCache::keyOf(const QString &path)
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
