#pragma once
// The program's one inotify instance, shared by every DirectoryWatcher.
//
// A user may open only a few inotify instances (128 by default), so one per watcher would run
// out after a few dozen tabs and column views, and watching would stop without a word. Here
// there is one descriptor, and one kernel watch per folder however many watchers look at it:
// the kernel hands back the same watch descriptor for the same folder, and the hub counts its
// subscribers, removing the watch when the last one leaves.
//
// Adding a watch looks the folder's path up, which waits as long as the folder's file system
// does, so subscriptions are made in background work: a new one is held, gathering its events,
// until the main thread attaches its handler. The hub reads events and calls handlers on the
// application's thread only, whichever thread first used it. It is never destroyed: watchers
// may outlive any owner it could have.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

#include <cstdint>
#include <functional>
#include <mutex>

class QSocketNotifier;

class InotifyHub
{
public:
    // Called with each event's mask. IN_Q_OVERFLOW reaches every subscriber, since any folder
    // may have changed unseen.
    using Handler = std::function<void(uint32_t mask)>;

    static InotifyHub &instance();

    // Any thread. Watches the folder at `path` (system encoding) for the events in `mask`; the
    // subscription is held until attach(). Returns its id, or 0 when the folder can't be
    // watched (missing, not a folder, no permission, the user's watch limit reached).
    quint64 subscribe(const QByteArray &path, uint32_t mask);
    // The application's thread. Hands the subscription's events to `handler` from now on; the
    // events it gathered while held reach `handler` at once, in one call. False when the
    // subscription ended meanwhile (the folder deleted, moved away or unmounted).
    bool attach(quint64 id, Handler handler);
    // Any thread. Ends a subscription; events still unread for it are never delivered. Unknown
    // ids (and 0) are ignored, so a subscription the kernel already ended can be left safely.
    void unsubscribe(quint64 id);

    // The application's thread. Hands the events the kernel holds to their handlers now,
    // rather than when the event loop comes to them.
    void readEvents();

    // Kernel watches in use, for tests: one per folder, not one per subscriber.
    int watchCount() const;
    bool isSubscribed(quint64 id) const;

private:
    InotifyHub();
    void listen();
    void dispatch(int watch, uint32_t mask);
    void dropWatch(int watch, bool removeFromKernel);

    struct Subscription
    {
        int watch;
        Handler handler; // none while held
        uint32_t heldEvents = 0;
    };

    const int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    mutable std::mutex m_mutex; // guards everything below
    quint64 m_nextId = 1;
    QHash<quint64, Subscription> m_subscriptions;
    QHash<int, QList<quint64>> m_subscribersByWatch;
    // A subscribe() that has asked the kernel for a watch but not yet recorded it may have been
    // handed a watch that is ended meanwhile: such watches are remembered while any is pending.
    int m_pendingSubscribes = 0;
    QSet<int> m_endedWhilePending;
};
