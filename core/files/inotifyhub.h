#pragma once
// The program's one inotify instance, shared by every DirectoryWatcher.
//
// A user may open only a few inotify instances (128 by default), so one per watcher would run
// out after a few dozen tabs and column views, and watching would stop without a word. Here
// there is one descriptor, and one kernel watch per folder however many watchers look at it:
// the kernel hands back the same watch descriptor for the same folder, and the hub counts its
// subscribers, removing the watch when the last one leaves.
//
// The hub lives on the thread that first uses it (the main thread) and calls handlers there;
// watchers are used from that thread only. It is never destroyed: watchers may outlive any
// owner it could have.

#include <QByteArray>
#include <QHash>
#include <QList>

#include <cstdint>
#include <functional>

class QSocketNotifier;

class InotifyHub
{
public:
    // Called with each event's mask. IN_Q_OVERFLOW reaches every subscriber, since any folder
    // may have changed unseen.
    using Handler = std::function<void(uint32_t mask)>;

    static InotifyHub &instance();

    // Watches the folder at `path` (system encoding) for the events in `mask`. Returns the
    // subscription's id, or 0 when the folder can't be watched (missing, not a folder, no
    // permission, the user's watch limit reached).
    quint64 subscribe(const QByteArray &path, uint32_t mask, Handler handler);
    // Ends a subscription; events still unread for it are never delivered. Unknown ids (and 0)
    // are ignored, so a subscription the kernel already ended can be left safely.
    void unsubscribe(quint64 id);

    // Hands the events the kernel holds to their handlers now, rather than when the event loop
    // comes to them.
    void readEvents();

    // Kernel watches in use, for tests: one per folder, not one per subscriber.
    int watchCount() const { return int(m_subscribersByWatch.size()); }
    bool isSubscribed(quint64 id) const { return m_subscriptions.contains(id); }

private:
    InotifyHub();
    void dispatch(int watch, uint32_t mask);
    void dropWatch(int watch, bool removeFromKernel);

    struct Subscription
    {
        int watch;
        Handler handler;
    };

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    quint64 m_nextId = 1;
    QHash<quint64, Subscription> m_subscriptions;
    QHash<int, QList<quint64>> m_subscribersByWatch;
};
