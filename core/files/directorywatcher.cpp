#include "directorywatcher.h"

#include "urls.h"

#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// What makes a tab's rows out of date:
// - entries created, deleted, or moved in or out (the list itself);
// - the folder itself deleted or moved away;
// - an entry's file closed after writing, or its attributes changed: the list shows sizes and
//   dates, so a download finishing or a `touch` should show. IN_CLOSE_WRITE comes once per
//   writer rather than once per write() like IN_MODIFY, so a file being written slowly does not
//   make the tab reload a large folder over and over.
// Reads (the program's own previews and icon look-ups) raise none of these, so watching can't
// feed back into itself. Entries already unlinked but still open are left out.
constexpr uint32_t WatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF
                               | IN_MOVE_SELF | IN_CLOSE_WRITE | IN_ATTRIB | IN_ONLYDIR
                               | IN_EXCL_UNLINK;

} // namespace

DirectoryWatcher::DirectoryWatcher(std::chrono::milliseconds debounce, std::chrono::milliseconds maxWait)
    : m_debounce(debounce), m_maxWait(maxWait.count() > 0 ? maxWait : 10 * debounce)
{
    m_pending.setSingleShot(true);
    QObject::connect(&m_pending, &QTimer::timeout, &m_pending, [this] { notify(); });
}

DirectoryWatcher::~DirectoryWatcher()
{
    stop();
}

void DirectoryWatcher::start(const QUrl &url, std::function<void()> onChange)
{
    stop();
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    const int watch = ::inotify_add_watch(fd, Urls::encodedPath(url).constData(), WatchMask);
    if (watch < 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
    m_watch = watch;
    m_onChange = std::move(onChange);
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readEvents(); });
}

void DirectoryWatcher::stop()
{
    m_pending.stop();
    m_onChange = nullptr;
    // The notifier goes before its descriptor is closed: the number may be reused at once.
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_watch = -1;
}

void DirectoryWatcher::readEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break; // EAGAIN: drained
        changed = true;
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            // A folder moved away is not followed to its new place: its later changes are not
            // the changes of the folder the owner shows.
            if ((event->mask & IN_MOVE_SELF) && m_watch >= 0) {
                ::inotify_rm_watch(m_fd, m_watch);
                m_watch = -1;
            }
            offset += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    // Every event (overflow and unmount included) restarts the quiet time, as far as the
    // longest wait since the first unreported change allows.
    if (!changed)
        return;
    if (!m_pending.isActive())
        m_sinceFirstEvent.start();
    const std::chrono::milliseconds left = m_maxWait - std::chrono::milliseconds(m_sinceFirstEvent.elapsed());
    m_pending.start(std::clamp(left, std::chrono::milliseconds(0), m_debounce));
}

void DirectoryWatcher::notify()
{
    // A copy, so onChange may restart or stop this watcher while it runs.
    const std::function<void()> onChange = m_onChange;
    if (onChange)
        onChange();
}
