#pragma once
// The icons of files and folders, fetched in the background once per path and kept while the
// path is among the most recently used ones. Views ask for the icon of a URL: a cached one comes
// back at once, otherwise the answer arrives later on the main thread.
//
// Built for folders of 100,000 entries: the background work only finds icon names (see
// IconProvider); the main thread turns each distinct list of names into one QIcon and every
// path shares it, so a cached path costs a map entry, not an image. Requests made during one
// turn of the event loop go out together in batches, so asking for a whole large folder queues
// a few hundred background jobs rather than one per file. The map lives on the main thread
// only; the provider never sees it. It holds at most `capacity()` paths, dropping the least
// recently used: views ask only for the rows on screen, so scrolling through a large folder
// keeps the map small, and a row scrolled back to after its path was dropped is fetched again.

#include <QCache>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class IconCache : public QObject
{
    Q_OBJECT

public:
    // Icon names for a path, most specific first; runs on background threads.
    using Provider = std::function<QStringList(const QString &path)>;
    using Done = std::function<void(const QIcon &)>;

    static constexpr int batchSize = 256;
    static constexpr qsizetype defaultCapacity = 10000;

    explicit IconCache(Provider provider = &defaultProvider, QObject *parent = nullptr);
    ~IconCache() override;

    // The application's one cache, made on first use with the default provider and kept until
    // the application object goes.
    static IconCache &shared();
    static QStringList defaultProvider(const QString &path);

    // The icon of the item at `url`: `done` runs at once when the path is cached, else once the
    // background fetch has finished (on the main thread), unless a `context` was given and is
    // gone by then. Overlapping requests for one uncached path each fetch; the last to finish
    // stays in the cache.
    void icon(const QUrl &url, QObject *context, Done done);
    // The cached icon, without fetching.
    [[nodiscard]] std::optional<QIcon> cachedIcon(const QUrl &url) const;

    qsizetype count() const { return m_icons.size(); }
    qsizetype capacity() const { return m_icons.maxCost(); }
    void setCapacity(qsizetype paths) { m_icons.setMaxCost(paths); }
    // Paths handed to the provider so far, fetched again after being dropped included.
    qsizetype fetches() const { return m_fetches; }
    // Distinct icons made so far (one per list of names).
    qsizetype distinctIcons() const { return m_iconsByNames.size(); }

Q_SIGNALS:
    // Each time a fetch finishes, for views that rather listen than pass a callback.
    void iconReady(const QString &path, const QIcon &icon);

private:
    struct Request
    {
        QString path;
        bool hasContext = false;
        QPointer<QObject> context;
        Done done;
    };

    void dispatch();
    void store(const Request &request, const QStringList &names);
    QIcon sharedIcon(const QStringList &names);

    Provider m_provider;
    QThreadPool m_pool;
    QList<Request> m_pending; // asked for during this turn of the event loop
    QTimer m_dispatchTimer;
    mutable QCache<QString, QIcon> m_icons; // a lookup makes a path the most recently used
    qsizetype m_fetches = 0;
    QHash<QStringList, QIcon> m_iconsByNames;
};
