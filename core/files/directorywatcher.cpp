#include "directorywatcher.h"

#include "inotifyhub.h"

#include <sys/inotify.h>

#include <algorithm>
#include <atomic>

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
    // A coarse timer may fire up to 5 % early, inside the quiet time it is meant to wait for.
    m_pending.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_pending, &QTimer::timeout, &m_pending, [this] { notify(); });
}

DirectoryWatcher::~DirectoryWatcher()
{
    stop();
}

// The subscription until a watcher adopts it; ends it if none does.
struct DirectoryWatcher::Watch::Held
{
    explicit Held(quint64 id) : subscription(id) {}
    ~Held() { InotifyHub::instance().unsubscribe(subscription.load()); }
    Held(const Held &) = delete;
    Held &operator=(const Held &) = delete;

    std::atomic<quint64> subscription; // 0 once adopted
};

bool DirectoryWatcher::Watch::isValid() const
{
    return m_held && m_held->subscription.load() != 0;
}

DirectoryWatcher::Watch DirectoryWatcher::watchFolder(const FilePath &folder)
{
    Watch watch;
    if (const quint64 id = InotifyHub::instance().subscribe(folder.nativePath(), WatchMask))
        watch.m_held = std::make_shared<Watch::Held>(id);
    return watch;
}

void DirectoryWatcher::adopt(const Watch &watch, std::function<void()> onChange)
{
    stop();
    const quint64 id = watch.m_held ? watch.m_held->subscription.exchange(0) : 0;
    if (id == 0)
        return;
    m_subscription = id;
    m_onChange = std::move(onChange);
    if (!InotifyHub::instance().attach(id, [this](uint32_t) { eventArrived(); }))
        eventArrived();
}

bool DirectoryWatcher::isWatching() const
{
    return m_subscription != 0 && InotifyHub::instance().isSubscribed(m_subscription);
}

void DirectoryWatcher::stop()
{
    m_pending.stop();
    m_onChange = nullptr;
    InotifyHub::instance().unsubscribe(m_subscription);
    m_subscription = 0;
}

void DirectoryWatcher::dropPending()
{
    InotifyHub::instance().readEvents();
    m_pending.stop();
}

// Every event (overflow and unmount included) restarts the quiet time, as far as the longest
// wait since the first unreported change allows.
void DirectoryWatcher::eventArrived()
{
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
