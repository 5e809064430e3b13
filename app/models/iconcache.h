#pragma once
// The icons of files and folders, fetched in the background once per path and kept for the rest
// of the run. Views ask for the icon of a URL: a cached one comes back at once; otherwise the
// fetch starts and iconReady() announces the icon later, on the main thread. Listeners connect
// with themselves as the context, so a view that goes away simply stops hearing of icons.
//
// Built for folders of 100,000 entries: the background work only finds icon names (see
// IconProvider); the main thread turns each distinct list of names into one QIcon and every
// path shares it, so a cached path costs a map entry, not an image. Requests made during one
// turn of the event loop go out together in batches, so asking for a whole large folder queues
// a few hundred background jobs rather than one per file. The map lives on the main thread
// only; the provider never sees it. The map is keyed by two independent 64-bit hashes of the
// path rather than by the path itself: an entry takes about 40 bytes instead of about 200, so
// scrolling through folders of 100,000 entries keeps memory small, and two paths would have to
// agree on 128 bits to share an icon.

#include "futureowner.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include "filepath.h"

#include <chrono>
#include <functional>
#include <optional>

class IconCache : public QObject
{
    Q_OBJECT

public:
    // Icon names for a path, most specific first; runs on background threads.
    using Provider = std::function<QStringList(const FilePath &path)>;

    static constexpr int batchSize = 256;

    explicit IconCache(Provider provider = &defaultProvider, QObject *parent = nullptr);

    // The application's one cache, made on first use with the default provider and kept until
    // the application object goes.
    static IconCache &shared();
    static QStringList defaultProvider(const FilePath &path);

    // The icon of the item at `url` when it is cached; otherwise starts fetching it (once: a
    // path asked for again before it arrives isn't fetched twice) and answers nothing now.
    [[nodiscard]] std::optional<QIcon> icon(const FilePath &url);
    // The cached icon, without fetching.
    [[nodiscard]] std::optional<QIcon> cachedIcon(const FilePath &url) const;

    // Waits up to `within` for the fetches under way; false when some are still reading (a hung
    // file system).
    bool settle(std::chrono::milliseconds within) { return m_pool.waitForDone(int(within.count())); }

    qsizetype count() const { return m_icons.size(); }
    // Paths handed to the provider so far.
    qsizetype fetches() const { return m_fetches; }
    // Distinct icons made so far (one per list of names).
    qsizetype distinctIcons() const { return m_iconsByNames.size(); }

Q_SIGNALS:
    // Each time a fetch finishes.
    void iconReady(const FilePath &path, const QIcon &icon);

private:
    void dispatch();
    void store(const FilePath &path, const QStringList &names);
    QIcon sharedIcon(const QStringList &names);

    Provider m_provider;
    QThreadPool m_pool;
    QList<FilePath> m_pending; // asked for during this turn of the event loop
    QTimer m_dispatchTimer;
    struct PathKey
    {
        quint64 first = 0;
        quint64 second = 0;
        friend bool operator==(const PathKey &, const PathKey &) = default;
        friend size_t qHash(const PathKey &key, size_t seed = 0) { return size_t(key.first) ^ seed; }
    };
    static PathKey keyOf(const FilePath &path);

    QHash<PathKey, QIcon> m_icons;
    QSet<PathKey> m_fetching; // asked for and not yet arrived
    qsizetype m_fetches = 0;
    QHash<QStringList, QIcon> m_iconsByNames;
    FutureOwner m_tasks; // last: the fetches end before the pool and the maps go
};
