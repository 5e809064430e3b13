// Item facts, folder totals and free space, on real files.

#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

class TestItemInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileInfo();
    void folderInfo();
    void linkIsDescribedAsTheLink();
    void permissions_data();
    void permissions();
    void missingItem();
    void directorySize_data();
    void directorySize();
    void unreadablePartsCountNothing();
    void cancellation();
    void freeSpace();

private:
    FileSystemService fs;
};

void TestItemInfo::fileInfo()
{
    TestDir dir;
    const QString path = dir.file("notes 日本.txt", QByteArray(1234, 'x'));
    const struct timeval times[2] = {{1000000000, 0}, {1600000000, 250000}};
    QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);

    const FileInfo info = fs.info(dir.url("notes 日本.txt"));
    QCOMPARE(info.name, QString("notes 日本.txt"));
    QVERIFY(!info.isDirectory);
    QCOMPARE(info.byteSize, std::optional<qint64>(1234));
    QCOMPARE(info.modified, std::optional(QDateTime::fromMSecsSinceEpoch(1600000000250LL, Qt::UTC)));
    // Birth times exist on most local file systems; where one is given it can't be in the future.
    if (info.created)
        QVERIFY(*info.created <= QDateTime::currentDateTimeUtc().addSecs(5));
}

void TestItemInfo::folderInfo()
{
    TestDir dir;
    dir.file("folder/inner", "12345");
    const FileInfo info = fs.info(dir.url("folder"));
    QVERIFY(info.isDirectory);
    QCOMPARE(info.byteSize, std::nullopt);
    QCOMPARE(info.name, QString("folder"));
    QVERIFY(info.modified.has_value());
}

void TestItemInfo::linkIsDescribedAsTheLink()
{
    TestDir dir;
    dir.dir("target");
    dir.link("target", "link");
    dir.link("nowhere", "dangling");
    const FileInfo toFolder = fs.info(dir.url("link"));
    QVERIFY(!toFolder.isDirectory);
    QCOMPARE(toFolder.byteSize, std::optional<qint64>(6)); // the length of "target"
    // A dangling link is still an item the user can ask about.
    QCOMPARE(fs.info(dir.url("dangling")).byteSize, std::optional<qint64>(7));
}

void TestItemInfo::permissions_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("rw-r--r--") << 0644;
    QTest::newRow("setuid and sticky bits kept") << 04755;
}

void TestItemInfo::permissions()
{
    QFETCH(int, mode);
    TestDir dir;
    const QString path = dir.file("f");
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    QCOMPARE(fs.info(dir.url("f")).posixPermissions, std::optional<int>(mode));
}

void TestItemInfo::missingItem()
{
    TestDir dir;
    try {
        fs.info(dir.url("gone"));
        QFAIL("expected an error");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), ENOENT);
        QCOMPARE(error.path(), dir.path("gone"));
    }
}

void TestItemInfo::directorySize_data()
{
    QTest::addColumn<QString>("layout"); // what to build, see below
    QTest::addColumn<qint64>("expected");

    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("hidden file skipped") << "visible:10 .hidden:5" << qint64(10);
    QTest::newRow("subfolders included") << "a:1 sub/b:20 sub/deeper/c:300" << qint64(321);
    QTest::newRow("hidden folder not entered") << "a:1 .cache/big:1000" << qint64(1);
    QTest::newRow("hard links count once") << "a:100 sub/b:7 link:a other/link2:a" << qint64(107);
    QTest::newRow("links not followed") << "a:3 symlink:outside" << qint64(3);
    QTest::newRow("link to a folder not entered") << "a:3 symlink:outsideFolder" << qint64(3);
}

// Layout words: "path:N" a file of N bytes; "name:a" a hard link to file "a"; "name:outside"
// a symbolic link to a large file outside the measured folder, "name:outsideFolder" to a folder.
void TestItemInfo::directorySize()
{
    QFETCH(QString, layout);
    QFETCH(qint64, expected);
    TestDir dir;
    dir.dir("measured");
    dir.file("big", QByteArray(100000, 'b'));
    dir.file("bigFolder/content", QByteArray(50000, 'c'));
    for (const QString &word : layout.split(' ', Qt::SkipEmptyParts)) {
        const QString name = word.section(':', 0, 0);
        const QString what = word.section(':', 1);
        const QString path = "measured/" + name;
        if (what == "outside") {
            dir.link(dir.path("big"), path);
        } else if (what == "outsideFolder") {
            dir.link(dir.path("bigFolder"), path);
        } else if (what == "a") {
            dir.dir(QFileInfo(dir.path(path)).path().mid(dir.path().size() + 1));
            QCOMPARE(::link(QFile::encodeName(dir.path("measured/a")).constData(),
                            QFile::encodeName(dir.path(path)).constData()), 0);
        } else {
            dir.file(path, QByteArray(what.toInt(), 'x'));
        }
    }
    QCOMPARE(fs.directorySize(dir.url("measured")), expected);
}

void TestItemInfo::unreadablePartsCountNothing()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("readable/a", QByteArray(10, 'a'));
    dir.file("readable/locked/b", QByteArray(99, 'b'));
    ::chmod(QFile::encodeName(dir.path("readable")).constData(), 0755);
    ::chmod(QFile::encodeName(dir.path("readable/locked")).constData(), 0700);
    ::chmod(QFile::encodeName(dir.path("readable/a")).constData(), 0644);
    AsUnprivileged unprivileged;
    QCOMPARE(fs.directorySize(dir.url("readable")), qint64(10));
    QCOMPARE(fs.directorySize(dir.url("readable/locked")), qint64(0));
    QCOMPARE(fs.directorySize(dir.url("missing")), qint64(0));
    QCOMPARE(fs.directorySize(dir.url("readable/a")), qint64(0)); // a file, not a folder
}

void TestItemInfo::cancellation()
{
    TestDir dir;
    for (int i = 0; i < 50; ++i)
        dir.file(QString("f%1").arg(i), QByteArray(10, 'x'));
    int asked = 0;
    const qint64 partial = fs.directorySize(dir.url(), [&] { return ++asked <= 5; });
    QCOMPARE(asked, 6); // the walk stops at the first "no"
    QCOMPARE(partial, qint64(50)); // five entries counted before it
    QCOMPARE(fs.directorySize(dir.url(), [] { return true; }), qint64(500));
}

void TestItemInfo::freeSpace()
{
    TestDir dir;
    const std::optional<qint64> free = fs.volumeAvailableCapacity(dir.url());
    QVERIFY(free.has_value());
    QVERIFY(*free > 0);
    QCOMPARE(fs.volumeAvailableCapacity(dir.url("no/such/place")), std::nullopt);
    // A file system that keeps no block counts has no free space to tell.
    if (QFileInfo::exists("/proc/self"))
        QCOMPARE(fs.volumeAvailableCapacity(QUrl::fromLocalFile("/proc/self")), std::nullopt);
}

QTEST_GUILESS_MAIN(TestItemInfo)
#include "tst_iteminfo.moc"
