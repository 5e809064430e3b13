// The owner of background work: results come later, from the event loop, never to an owner
// that has gone or cancelled them, and an owner that goes waits for its work first.

#include "futureowner.h"

#include <QSemaphore>
#include <QTest>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <memory>

class TestFutureOwner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resultArrivesFromTheEventLoop()
    {
        FutureOwner owner;
        int applied = 0;
        const QFuture<void> done = owner.watch(QtConcurrent::run([] { return 42; }), [&](int value) { applied = value; });
        QThread::msleep(20); // the work is over long before anyone looks
        QCOMPARE(applied, 0);
        QTRY_COMPARE(applied, 42);
        QTRY_VERIFY(done.isFinished() && !done.isCanceled());
    }

    // Only the newest question is answered; every returned future finishes, so no one waits forever.
    void cancelAllDropsPendingResults()
    {
        FutureOwner owner;
        QList<int> applied;
        QFuture<int> work = QtConcurrent::run([] { return 1; });
        work.waitForFinished();
        const QFuture<void> first = owner.watch(work, [&](int v) { applied << v; });
        owner.cancelAll(); // finished, its result not yet handed over
        const QFuture<void> second = owner.watch(QtConcurrent::run([] { return 2; }), [&](int v) { applied << v; });
        QTRY_VERIFY(first.isFinished() && second.isFinished());
        QTest::qWait(20);
        QCOMPARE(applied, QList<int>{2});
        QVERIFY(first.isCanceled());
    }

    void destructionCancelsAndWaits()
    {
        QSemaphore started;
        std::atomic_bool stoppedByCancel = false, running = false;
        bool applied = false;
        auto owner = std::make_unique<FutureOwner>();
        owner->watch(QtConcurrent::run([&](QPromise<int> &promise) {
                         running = true;
                         started.release();
                         while (!promise.isCanceled())
                             QThread::msleep(1);
                         stoppedByCancel = true;
                         running = false;
                     }),
                     [&](int) { applied = true; });
        QVERIFY(started.tryAcquire(1, 10000));
        owner.reset();
        QVERIFY(stoppedByCancel && !running);
        QCoreApplication::processEvents();
        QVERIFY(!applied);
    }

    void streamedResultsInOrderThenTheEnd()
    {
        FutureOwner owner;
        QList<int> seen;
        bool ended = false;
        owner.stream(QtConcurrent::run([](QPromise<int> &promise) {
                         for (int i = 0; i < 5; ++i)
                             promise.addResult(i);
                     }),
                     [&](int v) { seen << v; }, [&] { ended = true; });
        QTRY_VERIFY(ended);
        QCOMPARE(seen, (QList<int>{0, 1, 2, 3, 4}));
    }
};

QTEST_GUILESS_MAIN(TestFutureOwner)
#include "tst_futureowner.moc"
