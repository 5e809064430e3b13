#include "futureowner.h"

#include <algorithm>

namespace {

constexpr int poolThreads = 16;

} // namespace

Q_GLOBAL_STATIC(QThreadPool, workPool)

FutureOwner::FutureOwner(Teardown teardown) : m_teardown(teardown), m_watchers(std::make_unique<QObject>())
{
}

QThreadPool *FutureOwner::pool()
{
    QThreadPool *pool = workPool();
    static const bool sized = (pool->setMaxThreadCount(poolThreads), true);
    Q_UNUSED(sized);
    return pool;
}

FutureOwner::~FutureOwner()
{
    if (m_teardown == Teardown::wait)
        cancelAndWait();
    else
        cancelAll();
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
