#include "futureowner.h"

#include <algorithm>

namespace {

constexpr int poolThreads = 16;
constexpr int factsPoolThreads = 4;

QThreadPool *sized(QThreadPool *pool, int threads)
{
    if (pool->maxThreadCount() != threads)
        pool->setMaxThreadCount(threads);
    return pool;
}

} // namespace

Q_GLOBAL_STATIC(QThreadPool, workPool)
Q_GLOBAL_STATIC(QThreadPool, factsWorkPool)

FutureOwner::FutureOwner(Teardown teardown) : m_teardown(teardown), m_watchers(std::make_unique<QObject>())
{
}

QThreadPool *FutureOwner::pool()
{
    return sized(workPool(), poolThreads);
}

QThreadPool *FutureOwner::factsPool()
{
    return sized(factsWorkPool(), factsPoolThreads);
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
