// What a copy keeps, what it refuses, and what is left behind when a copy or a move across file
// systems fails part way.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "itemlists.h"
#include "testdir.h"
#include "treeremover.h"
#include "treesnapshot.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#include <cerrno>

namespace {

// A tree with the things a copy tends to get wrong: modes, old times, a read-only folder,
// links relative, absolute and dangling, and a link to a folder outside it.
void buildTree(const TestDir &dir, const QString &root)
{
    dir.file(root + "/file.txt", "contents");
    dir.file(root + "/run.sh", "#!/bin/sh\n");
    dir.file(root + "/empty");
    dir.file(root + "/ro/inner.txt", "inner");
    dir.file("outside/big.bin", QByteArray(1000, 'x'));
    dir.link("file.txt", root + "/relative");
    dir.link(dir.path("outside"), root + "/to-outside");
    dir.link("nowhere", root + "/dangling");
    setMode(dir.path(root + "/file.txt"), 0640);
    setMode(dir.path(root + "/run.sh"), 0755);
    for (const char *item : {"/file.txt", "/run.sh", "/empty", "/ro/inner.txt", "/relative", "/dangling"})
        setTimes(dir.path(root + item), 1'000'000'000, 1'100'000'000);
    setMode(dir.path(root + "/ro"), 0555);
    setTimes(dir.path(root + "/ro"), 1'200'000'000, 1'300'000'000);
    setTimes(dir.path(root), 1'200'000'000, 1'300'000'000);
}

} // namespace

class TestFileCopier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void faithfulTransfer_data();
    void faithfulTransfer();
    void contentsArriveWhole_data();
    void contentsArriveWhole();
    void failureMidwayLeavesNothing_data();
    void failureMidwayLeavesNothing();
    void crossDeviceMoveThatCannotDeleteSaysSo();
    void ownLeftoversGoEvenWhenReadOnly();
    void moveKeepsWhatChangedWhileCopying();
    void progressRunsAlongAndEndsComplete();
    void cancelledMidwayLeavesNothing_data();
    void cancelledMidwayLeavesNothing();

private:
    FileSystemService fs;
};

void TestFileCopier::faithfulTransfer_data()
{
    QTest::addColumn<bool>("move"); // across file systems; a copy stays on one
    QTest::newRow("copy") << false;
    QTest::newRow("move across file systems") << true;
}

void TestFileCopier::faithfulTransfer()
{
    QFETCH(bool, move);
    TestDir here;
    TestDir there(move ? QStringLiteral("/dev/shm") : QDir::tempPath());
    if (move && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
        QSKIP("/dev/shm is not a separate file system here");
    buildTree(there, "Tree");
    const TreeSnapshot before(there.path("Tree"));
    QCOMPARE(move ? fs.move(there.url("Tree"), here.url()) : fs.copy(there.url("Tree"), here.url()), here.url("Tree"));
    QVERIFY(before.matches(here.path("Tree")));
    QCOMPARE(here.entries(), QStringList{"Tree"});
    QCOMPARE(there.exists("Tree"), !move);
}

void TestFileCopier::contentsArriveWhole_data()
{
    QTest::addColumn<QString>("source"); // empty: a file of `size` random bytes
    QTest::addColumn<int>("size");
    QTest::newRow("several chunks and an odd tail") << QString() << (3 << 20) + 17;
    QTest::newRow("size reported as 0 (/proc)") << "/proc/self/status" << -1;
}

void TestFileCopier::contentsArriveWhole()
{
    QFETCH(QString, source);
    QFETCH(int, size);
    TestDir dir;
    QByteArray expected;
    if (source.isEmpty()) {
        expected.resize(size);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(expected.data()), size / 4);
        source = dir.file("data.bin", expected);
    }
    const QUrl copy = fs.copy(QUrl::fromLocalFile(source), QUrl::fromLocalFile(dir.dir("dst")));
    const QByteArray copied = dir.read("dst/" + copy.fileName());
    QVERIFY2(size < 0 ? copied.startsWith("Name:") : copied == expected, copied.left(100).constData());
}

void TestFileCopier::failureMidwayLeavesNothing_data()
{
    QTest::addColumn<bool>("acrossFileSystems");
    QTest::addColumn<bool>("pipe"); // the item that stops it: a pipe, else an unreadable file
    QTest::newRow("copy, unreadable file") << false << false;
    QTest::newRow("copy, pipe") << false << true;
    QTest::newRow("move across file systems, unreadable file") << true << false;
    QTest::newRow("move across file systems, pipe") << true << true;
}

// The item that fails lies deep in the tree, after others have been copied.
void TestFileCopier::failureMidwayLeavesNothing()
{
    QFETCH(bool, acrossFileSystems);
    QFETCH(bool, pipe);
    TestDir here;
    TestDir there(acrossFileSystems ? QStringLiteral("/dev/shm") : QDir::tempPath());
    if (acrossFileSystems && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
        QSKIP("/dev/shm is not a separate file system here");
    here.openToOthers();
    there.file("Tree/a.txt", "a");
    if (pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(there.dir("Tree/z") + "/blocker"), 0600), 0);
    else
        setMode(there.file("Tree/z/blocker", "no"), 0);
    giveAway(there.path());
    giveAway(here.dir("dst"));
    const TreeSnapshot before(there.path("Tree"));
    {
        AsUnprivileged unprivileged;
        const FileError error = failure([&] {
            acrossFileSystems ? fs.move(there.url("Tree"), here.url("dst"), ConflictResolution::keepBoth)
                              : TransferOutcome::completed(fs.copy(there.url("Tree"), here.url("dst")));
        });
        QCOMPARE(error.code(), pipe ? EOPNOTSUPP : EACCES);
        QCOMPARE(error.path(), there.path("Tree/z/blocker"));
    }
    QVERIFY(before.matches(there.path("Tree")));
    QCOMPARE(here.entries("dst"), QStringList{});
}

void TestFileCopier::crossDeviceMoveThatCannotDeleteSaysSo()
{
    TestDir here;
    TestDir there(QStringLiteral("/dev/shm"));
    if (!there.isValid() || !separateFileSystems(here.path(), there.path()))
        QSKIP("/dev/shm is not a separate file system here");
    here.openToOthers();
    there.file("Tree/locked/b.txt", "b");
    giveAway(there.path());
    giveAway(here.dir("dst"));
    setMode(there.path("Tree/locked"), 0555);
    {
        AsUnprivileged unprivileged;
        const FileError error = failure([&] { fs.move(there.url("Tree"), here.url("dst")); });
        QVERIFY2(error.message().contains("both copies exist"), qPrintable(error.message()));
    }
    QCOMPARE(here.read("dst/Tree/locked/b.txt"), QByteArray("b"));
    QCOMPARE(there.read("Tree/locked/b.txt"), QByteArray("b"));
}

// A failed copy's temporary may hold folders that already got their read-only mode; discarding
// it must still leave nothing behind, while deleting a user's item respects the modes.
void TestFileCopier::ownLeftoversGoEvenWhenReadOnly()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("mine/ours/ro/deeper/f.txt", "x");
    dir.file("mine/users/ro/f.txt", "x");
    giveAway(dir.path("mine"));
    setMode(dir.path("mine/ours/ro"), 0555);
    setMode(dir.path("mine/users/ro"), 0555);
    AsUnprivileged unprivileged;
    TreeRemover::discard(AT_FDCWD, QFile::encodeName(dir.path("mine/ours")).constData());
    QVERIFY(!dir.exists("mine/ours"));
    const FileError error = failure([&] { TreeRemover::removeItem(dir.path("mine/users"), FileError::Operation::Delete); });
    QCOMPARE(error.code(), EACCES);
    QVERIFY(dir.exists("mine/users/ro/f.txt"));
}

// After a move across file systems only what was copied may go from the original: a file
// written to or created while the copy ran stays, with the folders that hold it.
void TestFileCopier::moveKeepsWhatChangedWhileCopying()
{
    TestDir dir;
    dir.file("Tree/same.txt", "same");
    dir.file("Tree/sub/grows.log", "old");
    dir.file("Tree/gone/x.txt", "x");
    dir.file("Tree/linked/a", "one file, two names");
    QCOMPARE(::link(QFile::encodeName(dir.path("Tree/linked/a")), QFile::encodeName(dir.path("Tree/linked/b"))), 0);
    TreeRemover::Snapshot copied;
    QDirIterator it(dir.path("Tree"), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    for (QStringList paths{dir.path("Tree")}; !paths.isEmpty() || it.hasNext();) {
        const QString path = paths.isEmpty() ? it.next() : paths.takeFirst();
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
        TreeRemover::record(copied, st);
    }
    QFile grows(dir.path("Tree/sub/grows.log"));
    QVERIFY(grows.open(QIODevice::Append));
    grows.write(" and new");
    grows.close();
    dir.file("Tree/late.txt", "arrived during the copy");
    const QStringList kept = TreeRemover::removeCopied(dir.path("Tree"), copied, FileError::Operation::Move);
    QCOMPARE(sorted(kept), sorted({dir.path("Tree/late.txt"), dir.path("Tree/sub/grows.log")}));
    QCOMPARE(dir.entries("Tree"), (QStringList{"late.txt", "sub"}));
    QCOMPARE(dir.read("Tree/sub/grows.log"), QByteArray("old and new"));
}

// Several chunks of kernel copy: the bytes are reported along the way, not only at the end.
void TestFileCopier::progressRunsAlongAndEndsComplete()
{
    TestDir dir;
    const qint64 size = (24 << 20) + 5;
    dir.file("Tree/big.bin", QByteArray(size, 'b'));
    dir.file("Tree/small.txt", "small");
    QList<std::pair<qint64, qint64>> reports;
    CopyControl control;
    control.onProgress = [&](qint64 done, qint64 total) { reports.append({done, total}); };
    fs.copy(dir.url("Tree"), QUrl::fromLocalFile(dir.dir("dst")), control);
    QVERIFY2(reports.size() >= 2, qPrintable(QString::number(reports.size())));
    QCOMPARE(reports.last(), std::make_pair(size + 5, size + 5));
    for (qsizetype i = 1; i < reports.size(); ++i)
        QVERIFY(reports[i].first >= reports[i - 1].first && reports[i].first <= reports[i].second);
    QCOMPARE(dir.read("dst/Tree/big.bin").size(), size);
}

void TestFileCopier::cancelledMidwayLeavesNothing_data()
{
    QTest::addColumn<bool>("move"); // across file systems
    QTest::addColumn<bool>("folder"); // cancelled between small files rather than inside a big one
    QTest::newRow("copy, inside a large file") << false << false;
    QTest::newRow("copy, between the files of a folder") << false << true;
    QTest::newRow("move across file systems, inside a large file") << true << false;
    QTest::newRow("move across file systems, between files") << true << true;
}

// Cancelled as soon as the first bytes are reported: the next check must stop the copy.
void TestFileCopier::cancelledMidwayLeavesNothing()
{
    QFETCH(bool, move);
    QFETCH(bool, folder);
    TestDir here;
    TestDir there(move ? QStringLiteral("/dev/shm") : QDir::tempPath());
    if (move && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
        QSKIP("/dev/shm is not a separate file system here");
    for (int i = 0; i < (folder ? 5 : 1); ++i)
        there.file(QStringLiteral("Tree/part%1.bin").arg(i), QByteArray(folder ? 1000 : 24 << 20, char('a' + i)));
    const TreeSnapshot before(there.path("Tree"));
    std::optional<std::pair<qint64, qint64>> firstReport;
    CopyControl control;
    control.onProgress = [&](qint64 done, qint64 total) { firstReport = firstReport.value_or(std::make_pair(done, total)); };
    control.shouldContinue = [&] { return !firstReport; };
    const FileError error = failure([&] {
        move ? fs.move(there.url("Tree"), QUrl::fromLocalFile(here.dir("dst")), control)
             : fs.copy(there.url("Tree"), QUrl::fromLocalFile(here.dir("dst")), control);
    });
    QCOMPARE(error.code(), ECANCELED);
    QVERIFY(firstReport && firstReport->first < firstReport->second);
    QCOMPARE(here.entries("dst"), QStringList{});
    QVERIFY(before.matches(there.path("Tree")));
}

QTEST_GUILESS_MAIN(TestFileCopier)
#include "tst_filecopier.moc"
