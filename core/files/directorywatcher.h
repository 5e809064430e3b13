#pragma once
// Tells its owner, once things have calmed down, that a folder's list of entries changed, or
// that the folder itself was deleted or moved away. One watcher per owner (a tab), pointed at
// one folder at a time.
//
// Built on inotify with one inotify descriptor per start: a fresh descriptor per watch means
// events still unread for an earlier folder are thrown away with its descriptor and can never
// be taken for the new folder's. The descriptor is read through a QSocketNotifier and the
// debounce is a single-shot QTimer, both on the thread that owns the watcher, so onChange runs
// on that thread too and stop() can never race with a notification about to be delivered:
// after stop(), a new start() or destruction, onChange of that watch is never called.

#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QSocketNotifier;

class DirectoryWatcher
{
public:
    // `debounce` is the quiet time after the last event before the owner is told (tabs use
    // 150 ms). Events closer together than that keep postponing the notification, but never
    // past `maxWait` after the first of them (ten debounce intervals unless given): a folder
    // that never calms down, such as a build's output, is still shown as it changes.
    explicit DirectoryWatcher(std::chrono::milliseconds debounce, std::chrono::milliseconds maxWait = {});
    ~DirectoryWatcher();
    DirectoryWatcher(const DirectoryWatcher &) = delete;
    DirectoryWatcher &operator=(const DirectoryWatcher &) = delete;

    // Stops any earlier watch, then watches `url`. A folder that can't be watched (missing,
    // unreadable, not a folder, no inotify instance left) is passed over quietly: onChange is
    // then never called for this start. onChange may call stop() or start() itself.
    void start(const QUrl &url, std::function<void()> onChange);
    // Ends the watch and drops a waiting notification; closes the descriptor. Safe when idle.
    void stop();

    bool isWatching() const { return m_fd >= 0; }
    // True while a change has been seen and the owner is not yet told.
    bool isNotificationPending() const { return m_pending.isActive(); }

private:
    void readEvents();
    void notify();

    std::chrono::milliseconds m_debounce;
    std::chrono::milliseconds m_maxWait;
    QElapsedTimer m_sinceFirstEvent; // of the changes not yet reported
    QTimer m_pending;
    int m_fd = -1;
    int m_watch = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onChange;
};
