#include "inotifyhub.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

InotifyHub &InotifyHub::instance()
{
    // Deliberately never destroyed (see the header).
    static InotifyHub *hub = new InotifyHub;
    return *hub;
}

InotifyHub::InotifyHub() : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd < 0)
        return;
    // Events wait in the kernel until the application's thread comes to listen.
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->thread() == QThread::currentThread())
        listen();
    else
        QMetaObject::invokeMethod(app, [this] { listen(); }, Qt::QueuedConnection);
}

void InotifyHub::listen()
{
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
}

quint64 InotifyHub::subscribe(const QByteArray &path, uint32_t mask)
{
    if (m_fd < 0 || path.isEmpty())
        return 0;
    for (;;) {
        {
            const std::lock_guard lock(m_mutex);
            ++m_pendingSubscribes;
        }
        // IN_MASK_ADD: a second subscriber to the same folder widens its watch, never narrows it.
        // Not under the lock: the path's lookup may take as long as its file system.
        const int watch = ::inotify_add_watch(m_fd, path.constData(), mask | IN_MASK_ADD);
        const std::lock_guard lock(m_mutex);
        // The folder's watch was ended (its last subscriber left) after the kernel handed it
        // out: asking again makes a new one.
        const bool ended = watch >= 0 && m_endedWhilePending.contains(watch);
        if (--m_pendingSubscribes == 0)
            m_endedWhilePending.clear();
        if (watch < 0)
            return 0;
        if (ended)
            continue;
        const quint64 id = m_nextId++;
        m_subscriptions.insert(id, Subscription{watch, {}});
        m_subscribersByWatch[watch].append(id);
        return id;
    }
}

bool InotifyHub::attach(quint64 id, Handler handler)
{
    uint32_t held = 0;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_subscriptions.find(id);
        if (found == m_subscriptions.end())
            return false;
        found->handler = handler;
        held = std::exchange(found->heldEvents, 0);
    }
    if (held != 0)
        handler(held);
    return true;
}

void InotifyHub::unsubscribe(quint64 id)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_subscriptions.constFind(id);
    if (found == m_subscriptions.constEnd())
        return;
    const int watch = found->watch;
    m_subscriptions.erase(found);
    QList<quint64> &subscribers = m_subscribersByWatch[watch];
    subscribers.removeOne(id);
    if (subscribers.isEmpty())
        dropWatch(watch, true);
}

int InotifyHub::watchCount() const
{
    const std::lock_guard lock(m_mutex);
    return int(m_subscribersByWatch.size());
}

bool InotifyHub::isSubscribed(quint64 id) const
{
    const std::lock_guard lock(m_mutex);
    return m_subscriptions.contains(id);
}

// Called with the lock held.
void InotifyHub::dropWatch(int watch, bool removeFromKernel)
{
    for (quint64 id : m_subscribersByWatch.take(watch))
        m_subscriptions.remove(id);
    if (m_pendingSubscribes > 0)
        m_endedWhilePending.insert(watch);
    // Events already queued for this watch find no subscriber and are dropped, so they can't
    // reach whoever watches next.
    if (removeFromKernel)
        ::inotify_rm_watch(m_fd, watch);
}

void InotifyHub::readEvents()
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return; // EAGAIN: drained
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            dispatch(event->wd, event->mask);
            offset += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
}

// Handlers run without the lock: they may subscribe or unsubscribe, and a subscription one of
// them ends is not called after that.
void InotifyHub::dispatch(int watch, uint32_t mask)
{
    QList<quint64> subscribers;
    {
        const std::lock_guard lock(m_mutex);
        subscribers = (mask & IN_Q_OVERFLOW) ? m_subscriptions.keys() : m_subscribersByWatch.value(watch);
    }
    for (quint64 id : std::as_const(subscribers)) {
        Handler handler;
        {
            const std::lock_guard lock(m_mutex);
            const auto found = m_subscriptions.find(id);
            if (found == m_subscriptions.end())
                continue;
            if (!found->handler)
                found->heldEvents |= mask;
            handler = found->handler;
        }
        if (handler)
            handler(mask);
    }
    if (mask & IN_Q_OVERFLOW)
        return;
    // A folder moved away is not followed to its new place: its later changes are not those of
    // the folder its watchers show. A folder deleted or unmounted has lost its watch already.
    const std::lock_guard lock(m_mutex);
    if ((mask & IN_MOVE_SELF) && m_subscribersByWatch.contains(watch))
        dropWatch(watch, true);
    else if (mask & IN_IGNORED)
        dropWatch(watch, false);
}
