// The folder watcher: which changes are reported, the debounce, and that nothing is reported
// once a watch is stopped, replaced or destroyed.

#include "directorywatcher.h"
#include "testdir.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/stat.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr auto Debounce = 80ms;
// Long enough that a notification that should not come would have come.
constexpr int QuietMs = 3 * int(Debounce.count());
// For tests that must act while a notification is waiting, or pace changes closer together
// than the debounce: long enough that a busy test machine can't stretch the gaps past it.
constexpr auto SlowDebounce = 400ms;
constexpr int SlowQuietMs = int(SlowDebounce.count()) + 200;

void rename(const TestDir &dir, const QString &from, const QString &to)
{
    QVERIFY(QFile::rename(dir.path(from), dir.path(to)));
}

} // namespace

class TestDirectoryWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportedChanges_data();
    void reportedChanges();
    void burstGivesOneCallAfterTheLastChange();
    void noCallAfterTheWatchEnds_data();
    void noCallAfterTheWatchEnds();
    void folderThatCannotBeWatched_data();
    void folderThatCannotBeWatched();
    void watchedFolderGoesAway_data();
    void watchedFolderGoesAway();
};

void TestDirectoryWatcher::reportedChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("calls");
    QTest::newRow("file created") << "create" << 1;
    QTest::newRow("folder created") << "mkdir" << 1;
    QTest::newRow("file deleted") << "delete" << 1;
    QTest::newRow("renamed in place") << "rename" << 1;
    QTest::newRow("moved out") << "move out" << 1;
    QTest::newRow("moved in") << "move in" << 1;
    QTest::newRow("file rewritten") << "write" << 1;
    QTest::newRow("permissions changed") << "chmod" << 1;
    QTest::newRow("file read") << "read" << 0;
    QTest::newRow("change inside a subfolder") << "nested" << 0;
}

void TestDirectoryWatcher::reportedChanges()
{
    QFETCH(QString, change);
    QFETCH(int, calls);
    TestDir dir;
    dir.file("watched/existing.txt", "old");
    dir.file("watched/sub/inner.txt");
    dir.file("outside.txt");
    int count = 0;
    DirectoryWatcher watcher(Debounce);
    watcher.start(dir.url("watched"), [&] { ++count; });
    QVERIFY(watcher.isWatching());

    if (change == "create")
        dir.file("watched/new.txt");
    else if (change == "mkdir")
        dir.dir("watched/newfolder");
    else if (change == "delete")
        QVERIFY(QFile::remove(dir.path("watched/existing.txt")));
    else if (change == "rename")
        rename(dir, "watched/existing.txt", "watched/renamed.txt");
    else if (change == "move out")
        rename(dir, "watched/existing.txt", "moved.txt");
    else if (change == "move in")
        rename(dir, "outside.txt", "watched/outside.txt");
    else if (change == "write")
        dir.file("watched/existing.txt", "new contents");
    else if (change == "chmod")
        QVERIFY(::chmod(QFile::encodeName(dir.path("watched/existing.txt")).constData(), 0600) == 0);
    else if (change == "read")
        QCOMPARE(dir.read("watched/existing.txt"), QByteArray("old"));
    else if (change == "nested")
        dir.file("watched/sub/another.txt");

    if (calls > 0)
        QTRY_COMPARE(count, calls);
    QTest::qWait(QuietMs);
    QCOMPARE(count, calls);
}

void TestDirectoryWatcher::burstGivesOneCallAfterTheLastChange()
{
    // Changes closer together than the debounce, lasting far longer than it: a leading-edge or
    // non-restarting timer would call during the burst.
    TestDir dir;
    int count = 0;
    QElapsedTimer sinceLastChange;
    qint64 quietBeforeCall = -1;
    qint64 longestGap = 0;
    DirectoryWatcher watcher(SlowDebounce);
    watcher.start(dir.url(), [&] {
        ++count;
        quietBeforeCall = sinceLastChange.elapsed();
    });
    for (int i = 0; i < 10; ++i) {
        if (i > 0)
            longestGap = qMax(longestGap, sinceLastChange.elapsed());
        dir.file(QStringLiteral("file%1").arg(i));
        sinceLastChange.start();
        QTest::qWait(int(SlowDebounce.count()) / 4); // paces the burst; events are read meanwhile
    }
    if (longestGap >= SlowDebounce.count())
        QSKIP("the machine was too busy to keep the changes closer together than the debounce");
    QCOMPARE(count, 0);
    QTRY_COMPARE(count, 1);
    QVERIFY2(quietBeforeCall >= SlowDebounce.count() - 20, qPrintable(QString::number(quietBeforeCall)));
    QTest::qWait(SlowQuietMs);
    QCOMPARE(count, 1);
}

void TestDirectoryWatcher::noCallAfterTheWatchEnds_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("eventRead"); // false: the event still lies unread in the descriptor
    for (const char *ending : {"stop", "destroy", "restart elsewhere"}) {
        QTest::addRow("%s, change pending", ending) << QString::fromLatin1(ending) << true;
        QTest::addRow("%s, change unread", ending) << QString::fromLatin1(ending) << false;
    }
}

void TestDirectoryWatcher::noCallAfterTheWatchEnds()
{
    QFETCH(QString, ending);
    QFETCH(bool, eventRead);
    TestDir dir;
    dir.dir("a");
    dir.dir("b");
    int callsForA = 0;
    int callsForB = 0;
    auto watcher = std::make_unique<DirectoryWatcher>(SlowDebounce);
    watcher->start(dir.url("a"), [&] { ++callsForA; });
    dir.file("a/changed");
    if (eventRead)
        QTRY_VERIFY(watcher->isNotificationPending());

    if (ending == "stop") {
        watcher->stop();
        QVERIFY(!watcher->isWatching());
        watcher->stop(); // twice is harmless
    } else if (ending == "destroy") {
        watcher.reset();
    } else {
        watcher->start(dir.url("b"), [&] { ++callsForB; });
        QVERIFY(!watcher->isNotificationPending());
    }
    dir.file("a/changed-later");
    QTest::qWait(SlowQuietMs);
    QCOMPARE(callsForA, 0);
    QCOMPARE(callsForB, 0);

    if (watcher && watcher->isWatching()) {
        dir.file("b/changed");
        QTRY_COMPARE(callsForB, 1);
        QCOMPARE(callsForA, 0);
    }
}

void TestDirectoryWatcher::folderThatCannotBeWatched_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a file") << "plain.txt";
}

void TestDirectoryWatcher::folderThatCannotBeWatched()
{
    QFETCH(QString, relative);
    TestDir dir;
    dir.file("plain.txt");
    int count = 0;
    DirectoryWatcher watcher(Debounce);
    watcher.start(dir.url(relative), [&] { ++count; });
    QVERIFY(!watcher.isWatching());
    // The path coming into being later is not picked up either.
    QFile::remove(dir.path("plain.txt"));
    dir.file(relative + "/inside.txt");
    QTest::qWait(QuietMs);
    QCOMPARE(count, 0);
}

void TestDirectoryWatcher::watchedFolderGoesAway_data()
{
    QTest::addColumn<bool>("deleted"); // else moved away
    QTest::newRow("deleted") << true;
    QTest::newRow("moved away") << false;
}

void TestDirectoryWatcher::watchedFolderGoesAway()
{
    QFETCH(bool, deleted);
    TestDir dir;
    dir.dir("watched");
    int count = 0;
    DirectoryWatcher watcher(Debounce);
    watcher.start(dir.url("watched"), [&] { ++count; });
    if (deleted)
        QVERIFY(QDir(dir.path()).rmdir("watched"));
    else
        rename(dir, "watched", "elsewhere");
    QTRY_COMPARE(count, 1);

    // Not followed: neither to its new place nor to a folder made again under the old name.
    dir.file(deleted ? "watched/new.txt" : "elsewhere/new.txt");
    QTest::qWait(QuietMs);
    QCOMPARE(count, 1);
}

QTEST_GUILESS_MAIN(TestDirectoryWatcher)
#include "tst_directorywatcher.moc"
