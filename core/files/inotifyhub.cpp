#include "inotifyhub.h"

#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

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
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
}

quint64 InotifyHub::subscribe(const QByteArray &path, uint32_t mask, Handler handler)
{
    if (m_fd < 0 || path.isEmpty())
        return 0;
    // IN_MASK_ADD: a second subscriber to the same folder widens its watch, never narrows it.
    const int watch = ::inotify_add_watch(m_fd, path.constData(), mask | IN_MASK_ADD);
    if (watch < 0)
        return 0;
    const quint64 id = m_nextId++;
    m_subscriptions.insert(id, Subscription{watch, std::move(handler)});
    m_subscribersByWatch[watch].append(id);
    return id;
}

void InotifyHub::unsubscribe(quint64 id)
{
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

void InotifyHub::dropWatch(int watch, bool removeFromKernel)
{
    for (quint64 id : m_subscribersByWatch.take(watch))
        m_subscriptions.remove(id);
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

void InotifyHub::dispatch(int watch, uint32_t mask)
{
    // Copies of the ids: a handler may subscribe or unsubscribe while it runs.
    const QList<quint64> subscribers = (mask & IN_Q_OVERFLOW) ? m_subscriptions.keys()
                                                              : m_subscribersByWatch.value(watch);
    for (quint64 id : subscribers) {
        const auto found = m_subscriptions.constFind(id);
        if (found != m_subscriptions.constEnd()) {
            const Handler handler = found->handler;
            handler(mask);
        }
    }
    if (mask & IN_Q_OVERFLOW)
        return;
    // A folder moved away is not followed to its new place: its later changes are not those of
    // the folder its watchers show. A folder deleted or unmounted has lost its watch already.
    if (mask & IN_MOVE_SELF)
        dropWatch(watch, true);
    else if (mask & IN_IGNORED)
        dropWatch(watch, false);
}
