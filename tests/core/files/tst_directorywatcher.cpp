// The folder watcher: which changes are reported, the debounce, that nothing is reported once a
// watch is stopped, replaced or destroyed, and watches made on another thread.

#include "diskfacts.h"
#include "directorywatcher.h"
#include "inotifyhub.h"
#include "testdir.h"

#include <QElapsedTimer>
#include <QTest>

#include <future>
#include <memory>
#include <thread>

using Change = void (*)(const TestDir &);
Q_DECLARE_METATYPE(Change)

namespace {

constexpr std::chrono::milliseconds Debounce{80};
constexpr int QuietMs = 3 * int(Debounce.count()); // a call that should not come would have come
// For acting while a notification waits: long enough that a busy machine keeps up with it.
constexpr std::chrono::milliseconds SlowDebounce{400};
constexpr int SlowQuietMs = int(SlowDebounce.count()) + 200;

void move(const TestDir &dir, const char *from, const char *to) { QVERIFY(QFile::rename(dir.path(from), dir.path(to))); }

} // namespace

class TestDirectoryWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportedChanges_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("calls");
        QTest::newRow("file created") << Change([](const TestDir &d) { d.file("watched/new.txt"); }) << 1;
        QTest::newRow("file deleted") << Change([](const TestDir &d) { QFile::remove(d.path("watched/file")); }) << 1;
        QTest::newRow("moved out") << Change([](const TestDir &d) { move(d, "watched/file", "moved"); }) << 1;
        QTest::newRow("moved in") << Change([](const TestDir &d) { move(d, "outside", "watched/in"); }) << 1;
        QTest::newRow("file rewritten") << Change([](const TestDir &d) { d.file("watched/file", "new"); }) << 1;
        QTest::newRow("permissions changed") << Change([](const TestDir &d) { setMode(d.path("watched/file"), 0600); }) << 1;
        QTest::newRow("file read") << Change([](const TestDir &d) { d.read("watched/file"); }) << 0;
        QTest::newRow("change inside a subfolder") << Change([](const TestDir &d) { d.file("watched/sub/new.txt"); }) << 0;
        QTest::newRow("folder deleted") << Change([](const TestDir &d) { QDir(d.path("watched")).removeRecursively(); }) << 1;
        QTest::newRow("folder moved away") << Change([](const TestDir &d) { move(d, "watched", "elsewhere"); }) << 1;
    }

    void reportedChanges()
    {
        QFETCH(Change, change);
        QFETCH(int, calls);
        TestDir dir;
        dir.file("watched/file", "old");
        dir.file("watched/sub/inner.txt");
        dir.file("outside");
        int count = 0;
        DirectoryWatcher watcher(Debounce);
        watcher.adopt(DirectoryWatcher::watchFolder(dir.url("watched")), [&] { ++count; });
        change(dir);
        QTRY_COMPARE(count, calls);
        // A folder moved away is not followed to its new place.
        dir.file("elsewhere/new.txt");
        QTest::qWait(QuietMs);
        QCOMPARE(count, calls);
    }

    void burstGivesOneCallAfterTheLastChange()
    {
        // Changes closer together than the debounce, lasting far longer: a leading-edge or non-restarting timer would call.
        TestDir dir;
        int count = 0;
        QElapsedTimer sinceLastChange;
        qint64 quietBeforeCall = -1, longestGap = 0;
        DirectoryWatcher watcher(SlowDebounce);
        watcher.adopt(DirectoryWatcher::watchFolder(dir.url()), [&] { ++count, quietBeforeCall = sinceLastChange.elapsed(); });
        for (int i = 0; i < 10; ++i) {
            longestGap = qMax(longestGap, i ? sinceLastChange.elapsed() : 0);
            dir.file(QStringLiteral("file%1").arg(i));
            sinceLastChange.start();
            QTest::qWait(int(SlowDebounce.count()) / 4); // paces the burst; events are read meanwhile
        }
        if (longestGap >= SlowDebounce.count())
            QSKIP("the machine was too busy to keep the changes closer together than the debounce");
        QCOMPARE(count, 0);
        QTRY_COMPARE(count, 1);
        QVERIFY2(quietBeforeCall >= SlowDebounce.count() - 20, qPrintable(QString::number(quietBeforeCall)));
    }

    // An owner about to read the folder afresh drops what was seen so far, also the events the
    // kernel still holds; a change after that is reported as usual.
    void droppedChangesAreNotReported()
    {
        TestDir dir;
        int count = 0;
        DirectoryWatcher watcher(Debounce);
        watcher.adopt(DirectoryWatcher::watchFolder(dir.url()), [&] { ++count; });
        dir.file("before"); // no event loop has run: its event waits in the kernel
        watcher.dropPending();
        QTest::qWait(QuietMs);
        QCOMPARE(count, 0);
        dir.file("after");
        QTRY_COMPARE(count, 1);
    }

    void noCallAfterTheWatchEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("eventRead"); // false: the event still lies unread in the descriptor
        // A restart that fails (missing folder, a file) must still end the earlier watch.
        for (const char *ending : {"stop", "destroy", "restart on b", "restart on missing", "restart on plain.txt"}) {
            QTest::addRow("%s, change pending", ending) << QString::fromLatin1(ending) << true;
            QTest::addRow("%s, change unread", ending) << QString::fromLatin1(ending) << false;
        }
    }

    void noCallAfterTheWatchEnds()
    {
        QFETCH(QString, ending);
        QFETCH(bool, eventRead);
        TestDir dir;
        dir.dir("a");
        dir.dir("b");
        dir.file("plain.txt");
        int callsForA = 0, callsForB = 0;
        auto watcher = std::make_unique<DirectoryWatcher>(SlowDebounce);
        watcher->adopt(DirectoryWatcher::watchFolder(dir.url("a")), [&] { ++callsForA; });
        dir.file("a/changed");
        if (eventRead)
            QTRY_VERIFY(watcher->isNotificationPending());
        if (ending == "stop")
            watcher->stop();
        else if (ending == "destroy")
            watcher.reset();
        else
            watcher->adopt(DirectoryWatcher::watchFolder(dir.url(ending.mid(11))), [&] { ++callsForB; });
        QCOMPARE(watcher && watcher->isWatching(), ending == "restart on b");
        dir.file("a/changed-later");
        dir.file("missing/inside.txt"); // coming into being later is not picked up either
        dir.file("plain.txt", "changed");
        QTest::qWait(SlowQuietMs);
        QCOMPARE(callsForA + callsForB, 0);
        if (ending == "restart on b") {
            dir.file("b/changed");
            QTRY_COMPARE(callsForB, 1);
            QCOMPARE(callsForA, 0);
        }
    }

    void watchMadeElsewhereAndAdoptedHere_data()
    {
        QTest::addColumn<Change>("meanwhile");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("watching");
        QTest::newRow("nothing changes") << Change([](const TestDir &) {}) << 0 << true;
        QTest::newRow("file created") << Change([](const TestDir &d) { d.file("watched/new.txt"); }) << 1 << true;
        QTest::newRow("folder deleted") << Change([](const TestDir &d) { QDir(d.path("watched")).removeRecursively(); }) << 1 << false;
    }

    // Changes between a watch made on another thread and its adoption here are reported once
    // it is adopted; a watch nobody adopts ends on whichever thread lets go of it.
    void watchMadeElsewhereAndAdoptedHere()
    {
        QFETCH(Change, meanwhile);
        QFETCH(int, calls);
        QFETCH(bool, watching);
        TestDir dir;
        dir.dir("watched");
        const int watchesBefore = InotifyHub::instance().watchCount();
        const auto elsewhere = [](const FilePath &folder) {
            return std::async(std::launch::async, [folder] { return DirectoryWatcher::watchFolder(folder); }).get();
        };
        const DirectoryWatcher::Watch watch = elsewhere(dir.url("watched"));
        meanwhile(dir);
        QTest::qWait(QuietMs); // the events are read meanwhile, and kept for the watch
        int count = 0;
        DirectoryWatcher watcher(Debounce);
        watcher.adopt(watch, [&] { ++count; });
        QTest::qWait(QuietMs);
        QCOMPARE(count, calls);
        QCOMPARE(watcher.isWatching(), watching);
        if (watching) {
            dir.file("watched/later");
            QTRY_COMPARE(count, calls + 1);
        }
        DirectoryWatcher::Watch unadopted = elsewhere(dir.url());
        QVERIFY(unadopted.isValid());
        QCOMPARE(InotifyHub::instance().watchCount(), watchesBefore + int(watching) + 1);
        std::thread([dropped = std::move(unadopted)]() mutable { dropped = {}; }).join();
        QCOMPARE(InotifyHub::instance().watchCount(), watchesBefore + int(watching));
    }
};

QTEST_GUILESS_MAIN(TestDirectoryWatcher)
#include "tst_directorywatcher.moc"
