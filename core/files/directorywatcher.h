#pragma once
// Tells its owner, once things have calmed down, that a folder's list of entries changed, or
// that the folder itself was deleted or moved away. One watcher per owner (a tab), pointed at
// one folder at a time.
//
// Built on the program's one inotify instance (InotifyHub), shared by all watchers: a user has
// few instances, and a window may watch dozens of folders. Ending a watch ends its subscription
// there, so events still unread for an earlier folder are dropped and never taken for the new
// folder's.
//
// Watching a folder looks its path up, which waits as long as the folder's file system does:
// the watch is made in background work (watchFolder(), usually with the folder's first read)
// and handed to the watcher on the main thread (adopt()). The watcher itself lives on the main
// thread, where the hub's events and the debounce (a single-shot QTimer) arrive, so stop() can
// never race with a notification about to be delivered: after stop(), a new adopt() or
// destruction, onChange of that watch is never called.

#include <QElapsedTimer>
#include <QTimer>
#include "filepath.h"

#include <chrono>
#include <functional>
#include <memory>

class DirectoryWatcher
{
public:
    // A folder's watch on its way from background work to a watcher. Copies share it; the
    // changes it sees before it is adopted are reported once it is. When the last copy goes
    // without being adopted (the load it came with was overtaken, its owner went), the watch
    // ends, on whichever thread lets go of it.
    class Watch
    {
    public:
        // False when the folder couldn't be watched.
        bool isValid() const;

    private:
        friend class DirectoryWatcher;
        struct Held;
        std::shared_ptr<Held> m_held;
    };

    // Any thread. A watch of `folder`; invalid when it can't be watched (missing, unreadable,
    // not a folder, the user's inotify watches used up).
    static Watch watchFolder(const FilePath &folder);

    // `debounce` is the quiet time after the last event before the owner is told (tabs use
    // 150 ms). Events closer together than that keep postponing the notification, but never
    // past `maxWait` after the first of them (ten debounce intervals unless given): a folder
    // that never calms down, such as a build's output, is still shown as it changes.
    explicit DirectoryWatcher(std::chrono::milliseconds debounce, std::chrono::milliseconds maxWait = {});
    ~DirectoryWatcher();
    DirectoryWatcher(const DirectoryWatcher &) = delete;
    DirectoryWatcher &operator=(const DirectoryWatcher &) = delete;

    // Stops any earlier watch, then takes `watch` over. An invalid watch, or one adopted
    // already, is passed over quietly: onChange is then never called for it. A watch whose
    // folder went before it was adopted reports that as a change. onChange may call stop() or
    // adopt() itself.
    void adopt(const Watch &watch, std::function<void()> onChange);
    // Ends the watch and drops a waiting notification; closes the descriptor. Safe when idle.
    void stop();

    // Forgets the changes seen so far, for an owner about to read the folder afresh: events the
    // kernel already holds are taken first, so none of them reports later a change the owner
    // is about to see. Changes from now on are reported as usual.
    void dropPending();

    // False once the watch ended, also when the kernel ended it: the folder was deleted, moved
    // away or unmounted. A folder made again at the same place needs a new watch.
    bool isWatching() const;
    // True while a change has been seen and the owner is not yet told.
    bool isNotificationPending() const { return m_pending.isActive(); }

private:
    void eventArrived();
    void notify();

    std::chrono::milliseconds m_debounce;
    std::chrono::milliseconds m_maxWait;
    QElapsedTimer m_sinceFirstEvent; // of the changes not yet reported
    QTimer m_pending;
    quint64 m_subscription = 0; // with InotifyHub; 0 when idle
    std::function<void()> m_onChange;
};
