#pragma once
// The one owner of an object's background work. Every future the object starts is kept here;
// when the owner goes, the futures are cancelled and waited for, so no background work outlives
// the object that asked for it and no result is ever handed to an object that is gone.
//
// Results come back through the event loop of the receiver's thread, never inside the call that
// started the work: QFuture::then() with a context object runs its continuation at once when
// the work has already finished, and a model would then change its state in the middle of the
// call that started the work.
//
// Declare the owner as the last member of its object: it is destroyed first, so background
// work is over before any other member goes.
//
// Work that holds nothing of its object, only copies of what it reads and of where, needn't be
// waited for: an owner made with Teardown::letRunOut cancels it and drops its result, and lets
// it end on its own in the pool. A read stuck on a file system that stopped answering then
// doesn't hold the window when the dialog or view that asked for it goes.

#include <QFuture>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <memory>

class FutureOwner
{
public:
    enum class Teardown { wait, letRunOut };

    // Made, used and destroyed on the thread of the object whose work it owns.
    explicit FutureOwner(Teardown teardown = Teardown::wait);

    // Where the program's background work runs (QtConcurrent::run(FutureOwner::pool(), …)).
    // Not Qt's global pool: the raster painter splits large fills across that one and waits for
    // them, so reads stuck on a file system that stopped answering would stall every repaint.
    // Such reads mostly wait, so the pool has more threads than the machine has cores.
    static QThreadPool *pool();
    // Where the views' reads of one item's facts run (the title line's, the status bar's free
    // space, the preview's): a pool of their own. A view starts one at every selection change,
    // and each that sticks on a file system that stopped answering holds its thread; here they
    // can't take every thread from the folder loads.
    static QThreadPool *factsPool();
    ~FutureOwner();
    FutureOwner(const FutureOwner &) = delete;
    FutureOwner &operator=(const FutureOwner &) = delete;

    // Keeps `work`; once it has finished, `apply(result)` runs on the receiver's thread from
    // its event loop, unless the work was cancelled or the owner is gone by then. The returned
    // future finishes after `apply` has run (or is cancelled with the work).
    template<typename T, typename Apply>
    QFuture<void> watch(const QFuture<T> &work, Apply apply)
    {
        keep(work);
        auto promise = std::make_shared<QPromise<void>>();
        promise->start();
        auto *watcher = new QFutureWatcher<T>(m_watchers.get());
        QObject::connect(watcher, &QFutureWatcherBase::finished, m_watchers.get(),
                         [watcher, promise, apply = std::move(apply)] {
                             watcher->deleteLater();
                             if (watcher->future().isCanceled() || watcher->future().resultCount() == 0)
                                 promise->future().cancel();
                             else
                                 apply(watcher->result());
                             promise->finish();
                         });
        // A watcher deleted before its work finished takes the last reference to the promise
        // with it, and a promise dropped unfinished reports itself cancelled and finished.
        watcher->setFuture(work);
        return promise->future();
    }

    // Keeps work that reports many results: `onResult(result)` for each, in order, as they
    // arrive, then `onFinished()` once the work has ended, unless it was cancelled. Both run on
    // the receiver's thread from its event loop, never after the owner is gone.
    template<typename T, typename OnResult, typename OnFinished>
    void stream(const QFuture<T> &work, OnResult onResult, OnFinished onFinished)
    {
        keep(work);
        auto *watcher = new QFutureWatcher<T>(m_watchers.get());
        QObject::connect(watcher, &QFutureWatcherBase::resultsReadyAt, m_watchers.get(),
                         [watcher, onResult = std::move(onResult)](int begin, int end) {
                             for (int i = begin; i < end; ++i)
                                 onResult(watcher->resultAt(i));
                         });
        QObject::connect(watcher, &QFutureWatcherBase::finished, m_watchers.get(),
                         [watcher, onFinished = std::move(onFinished)] {
                             watcher->deleteLater();
                             if (!watcher->future().isCanceled())
                                 onFinished();
                         });
        watcher->setFuture(work);
    }

    // Keeps work whose result nobody waits for (it reports through its own signals).
    template<typename T>
    void keep(const QFuture<T> &work)
    {
        dropFinished();
        m_futures.append(QFuture<void>(work));
    }

    // Cancels every future; results of work already finished are not applied either.
    void cancelAll();
    // Cancels every future and waits until all of them have stopped.
    void cancelAndWait();
    // Futures still running or queued.
    [[nodiscard]] qsizetype runningCount() const;

private:
    void dropFinished();

    Teardown m_teardown;
    QList<QFuture<void>> m_futures;
    // Parent of the watchers; replaced on cancelAll() so that no pending result is applied.
    std::unique_ptr<QObject> m_watchers;
};
