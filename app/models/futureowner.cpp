#include "futureowner.h"

#include <algorithm>

FutureOwner::FutureOwner() : m_watchers(std::make_unique<QObject>())
{
}

FutureOwner::~FutureOwner()
{
    cancelAndWait();
}

void FutureOwner::cancelAll()
{
    for (QFuture<void> &future : m_futures)
        future.cancel();
    // Deleting the watchers drops the results they were about to hand over.
    m_watchers = std::make_unique<QObject>();
}

void FutureOwner::cancelAndWait()
{
    cancelAll();
    for (QFuture<void> &future : m_futures)
        future.waitForFinished();
    m_futures.clear();
}

qsizetype FutureOwner::runningCount() const
{
    return std::count_if(m_futures.cbegin(), m_futures.cend(), [](const QFuture<void> &f) { return !f.isFinished(); });
}

void FutureOwner::dropFinished()
{
    m_futures.removeIf([](const QFuture<void> &future) { return future.isFinished(); });
}
