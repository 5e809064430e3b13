#pragma once
// The icons of files and folders, fetched in the background once per path and kept for the rest
// of the run. Views ask for the icon of a URL: a cached one comes back at once, otherwise the
// answer arrives later on the main thread.
//
// Built for folders of 100,000 entries: the background work only finds icon names (see
// IconProvider); the main thread turns each distinct list of names into one QIcon and every
// path shares it, so a cached path costs a map entry, not an image. The map itself lives on the
// main thread only; the provider never sees it.

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
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

    explicit IconCache(Provider provider = &defaultProvider, QObject *parent = nullptr);
    ~IconCache() override;

    // The application's one cache, made on first use with the default provider.
    static IconCache &shared();
    static QStringList defaultProvider(const QString &path);

    // The icon of the item at `url`: `done` runs at once when the path is cached, else once the
    // background fetch has finished (on the main thread), unless a `context` was given and is
    // gone by then.
    void icon(const QUrl &url, QObject *context, Done done);
    // The cached icon, without fetching.
    [[nodiscard]] std::optional<QIcon> cachedIcon(const QUrl &url) const;

    qsizetype count() const { return m_icons.size(); }
    // Distinct icons made so far (one per list of names).
    qsizetype distinctIcons() const { return m_iconsByNames.size(); }

Q_SIGNALS:
    // Each time a fetch finishes, for views that rather listen than pass a callback.
    void iconReady(const QString &path, const QIcon &icon);

private:
    void store(const QString &path, const QStringList &names, const Done &done);
    QIcon sharedIcon(const QStringList &names);

    Provider m_provider;
    QThreadPool m_pool;
    QHash<QString, QIcon> m_icons;
    QHash<QStringList, QIcon> m_iconsByNames;
};
