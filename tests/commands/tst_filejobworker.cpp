// The pane's file-job worker: order, thread, cancellation, progress throttling, and destruction
// with work in flight.

#include "filejobworker.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

// Work that spins until its job is cancelled (or a deadline passes, so a fault cannot hang).
std::function<void()> spinUntilCanceled(FileJobWorker::Context &context, std::atomic_bool *started = nullptr)
{
    if (started)
        started->store(true);
    QDeadlineTimer deadline(10000);
    while (!context.isCanceled() && !deadline.hasExpired())
        QThread::yieldCurrentThread();
    return {};
}

} // namespace

class TestFileJobWorker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsJobsInOrderOffTheMainThread();
    void mainThreadRunsWhileAJobWorks();
    void cancelReachesRunningAndQueuedJobsOnly();
    void byteReportsAreThrottledButTheLastOneArrives();
    void destructionDropsResults();
};

void TestFileJobWorker::runsJobsInOrderOffTheMainThread()
{
    FileJobWorker worker;
    QStringList order;
    QList<QThread *> workThreads;
    QSignalSpy finished(&worker, &FileJobWorker::jobFinished);
    for (int i = 0; i < 3; ++i) {
        worker.enqueue([&, i](FileJobWorker::Context &) -> std::function<void()> {
            workThreads.append(QThread::currentThread()); // only one job runs at a time
            QThread::msleep(i == 0 ? 30 : 0); // the first is the slowest: order must still hold
            return [&, i] {
                QCOMPARE(QThread::currentThread(), qApp->thread());
                order << QString::number(i);
            };
        });
    }
    QCOMPARE(worker.pendingCount(), 3);
    QTRY_COMPARE(finished.size(), 3);
    QCOMPARE(order, QStringList({"0", "1", "2"}));
    QCOMPARE(finished.at(0).at(0).toInt() + 1, finished.at(1).at(0).toInt());
    QCOMPARE(workThreads.size(), 3);
    QVERIFY(!workThreads.contains(qApp->thread()));
    QCOMPARE(worker.pendingCount(), 0);
}

void TestFileJobWorker::mainThreadRunsWhileAJobWorks()
{
    FileJobWorker worker;
    std::atomic_bool started = false;
    const int job = worker.enqueue([&](FileJobWorker::Context &context) { return spinUntilCanceled(context, &started); });
    QTRY_VERIFY(started.load());
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    QTRY_VERIFY(ticks >= 5);
    QCOMPARE(worker.pendingCount(), 1);
    QSignalSpy finished(&worker, &FileJobWorker::jobFinished);
    worker.cancel(job);
    QVERIFY(finished.wait());
}

void TestFileJobWorker::cancelReachesRunningAndQueuedJobsOnly()
{
    FileJobWorker worker;
    std::atomic_bool started = false;
    QList<bool> sawCancel;
    auto recording = [&](FileJobWorker::Context &context) -> std::function<void()> {
        const bool canceled = context.isCanceled();
        return [&, canceled] { sawCancel << canceled; };
    };
    const int running = worker.enqueue([&](FileJobWorker::Context &c) { return spinUntilCanceled(c, &started); });
    const int queued = worker.enqueue(recording);
    QTRY_VERIFY(started.load());
    worker.cancel(running);
    worker.cancel(queued);
    const int later = worker.enqueue(recording); // asked for after the cancel: runs normally
    QSignalSpy finished(&worker, &FileJobWorker::jobFinished);
    QTRY_COMPARE(finished.size(), 3);
    QCOMPARE(finished.last().at(0).toInt(), later);
    QCOMPARE(sawCancel, (QList<bool>{true, false}));
    worker.cancel(running); // finished jobs are ignored
}

void TestFileJobWorker::byteReportsAreThrottledButTheLastOneArrives()
{
    FileJobWorker worker;
    QSignalSpy bytes(&worker, &FileJobWorker::byteProgress);
    QSignalSpy items(&worker, &FileJobWorker::itemProgress);
    worker.enqueue([](FileJobWorker::Context &context) -> std::function<void()> {
        QElapsedTimer clock;
        clock.start();
        for (qint64 done = 0; clock.elapsed() < 200; ++done)
            context.reportBytes(done, 1'000'000'000);
        context.reportBytes(1'000'000'000, 1'000'000'000);
        context.reportItems(1, 1);
        return {};
    });
    QTRY_COMPARE(items.size(), 1);
    // 200 ms of reports at one per 50 ms, plus the last: far fewer than the calls made.
    QVERIFY2(bytes.size() >= 2 && bytes.size() <= 7, qPrintable(QString::number(bytes.size())));
    QCOMPARE(bytes.last().at(1).toLongLong(), 1'000'000'000);
}

void TestFileJobWorker::destructionDropsResults()
{
    bool applied = false;
    std::atomic_bool started = false;
    {
        FileJobWorker worker;
        worker.enqueue([&](FileJobWorker::Context &context) {
            spinUntilCanceled(context, &started);
            return std::function<void()>([&] { applied = true; });
        });
        worker.enqueue([&](FileJobWorker::Context &) { return std::function<void()>([&] { applied = true; }); });
        QTRY_VERIFY(started.load());
    } // cancels, waits for the running job, drops both results
    QCoreApplication::processEvents();
    QVERIFY(!applied);
}

QTEST_GUILESS_MAIN(TestFileJobWorker)
#include "tst_filejobworker.moc"
