#pragma once
// Holds a copy inside a file until the test lets it go or the copy is cancelled, so that a test
// can act "in the middle of a large copy" without racing it. Hand hook() to a CopyControl (or
// to whatever passes one on), wait with waitUntilHeld(), then cancel or release().

#include "copycontrol.h"

#include <QString>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>

class MidFileHold
{
public:
    CopyControl::PauseMidFile hook()
    {
        return [this](const QString &path, qint64, const CopyControl::ShouldContinue &shouldContinue) {
            std::unique_lock lock(m_mutex);
            if (m_released)
                return;
            m_heldPath = path;
            m_held = true;
            m_changed.notify_all();
            // The cancel flag is the copier's own, so it is polled rather than waited on.
            while (!m_released && (!shouldContinue || shouldContinue()))
                m_changed.wait_for(lock, std::chrono::milliseconds(2));
        };
    }

    // True once a copy is held (or was, before being let go). The event loop keeps turning
    // meanwhile: a job may be queued only once an earlier one's result came back.
    bool waitUntilHeld(int timeoutMs = 60000)
    {
        return QTest::qWaitFor([this] {
            std::unique_lock lock(m_mutex);
            return m_changed.wait_for(lock, std::chrono::milliseconds(5), [this] { return m_held; });
        }, timeoutMs);
    }

    // Lets the held copy and every later one run on.
    void release()
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

    QString heldPath() const { const std::lock_guard lock(m_mutex); return m_heldPath; }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_released = false;
    QString m_heldPath;
};
