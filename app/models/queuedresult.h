#pragma once
// Hands the result of background work to a main-thread object through its event loop.
//
// QFuture::then() with a context object runs the continuation at once, inside the call, when the
// work has already finished; a model would then change its state in the middle of the call that
// started the work. Here the result always arrives later, from the event loop, and never after
// the context object is gone: the returned future finishes once `apply` has run, or is
// cancelled with the context.

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPromise>

#include <memory>

template<typename T, typename Apply>
QFuture<void> applyWhenFinished(const QFuture<T> &work, QObject *context, Apply apply)
{
    auto promise = std::make_shared<QPromise<void>>();
    promise->start();
    auto *watcher = new QFutureWatcher<T>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, promise, apply = std::move(apply)] {
                         watcher->deleteLater();
                         apply(watcher->result());
                         promise->finish();
                     });
    watcher->setFuture(work);
    return promise->future();
}
