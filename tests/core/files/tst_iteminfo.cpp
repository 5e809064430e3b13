// Item facts, folder totals and free space, on real files.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <cerrno>

class TestItemInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A link is described as the link itself, even one to a folder or to nothing. Free space too.
    void facts()
    {
        TestDir dir;
        const QString path = dir.file("notes 日本.txt", QByteArray(1234, 'x'));
        setMode(path, 04755);
        setTimes(path, 1'000'000'000, 1'600'000'000); // and 987654321 ns
        dir.file("folder/inner", "12345");
        dir.link("folder", "link");
        dir.link("nowhere", "dangling");

        const FileInfo file = fs.info(dir.url("notes 日本.txt"));
        QCOMPARE(file.byteSize, std::optional<qint64>(1234));
        QCOMPARE(file.modified, std::optional(QDateTime::fromMSecsSinceEpoch(1600000000987LL, Qt::UTC)));
        QCOMPARE(file.posixPermissions, std::optional<int>(04755));
        QVERIFY(fs.info(dir.url("folder")).isDirectory);
        QVERIFY(!fs.info(dir.url("link")).isDirectory);
        QCOMPARE(fs.info(dir.url("link")).byteSize, std::optional<qint64>(6)); // the length of "folder"
        QCOMPARE(fs.info(dir.url("dangling")).byteSize, std::optional<qint64>(7));
        QCOMPARE(failure([&] { fs.info(dir.url("gone")); }).code(), ENOENT);

        QVERIFY(fs.volumeAvailableCapacity(dir.url()).value_or(0) > 0);
        // A file system that keeps no block counts has no free space to tell.
        QCOMPARE(fs.volumeAvailableCapacity(FilePath::fromString("/proc/self")), std::nullopt);
    }

    void directorySize_data()
    {
        QTest::addColumn<QString>("layout"); // see below
        QTest::addColumn<qint64>("expected");
        QTest::newRow("subfolders, and hard links once") << "a:100 sub/b:20 sub/deeper/c:3 sub/link:a" << qint64(123);
        QTest::newRow("hidden items skipped") << "visible:10 .hidden:5 .cache/big:1000" << qint64(10);
        QTest::newRow("symbolic links not followed") << "a:3 symlink:outside folderlink:outsideFolder" << qint64(3);
    }

    // Layout words: "path:N" a file of N bytes; "name:a" a hard link to file "a"; "name:outside"
    // a symbolic link to a large file outside the measured folder, "name:outsideFolder" to a folder.
    void directorySize()
    {
        QFETCH(QString, layout);
        QFETCH(qint64, expected);
        TestDir dir;
        dir.file("outside", QByteArray(100000, 'b'));
        dir.file("outsideFolder/content", QByteArray(50000, 'c'));
        for (const QString &word : layout.split(' ')) {
            const QString path = "measured/" + word.section(':', 0, 0), what = word.section(':', 1);
            if (what.startsWith("outside"))
                dir.link(dir.path(what), path);
            else if (what == "a")
                QCOMPARE(::link(QFile::encodeName(dir.path("measured/a")), QFile::encodeName(dir.path(path))), 0);
            else
                dir.file(path, QByteArray(what.toInt(), 'x'));
        }
        QCOMPARE(fs.directorySize(dir.url("measured")), expected);
    }

    // The walk stops at the first "no" from its caller; unreadable parts and missing folders count
    // nothing, and the walk goes on past them.
    void walkGoesOnOrStops()
    {
        TestDir dir;
        for (int i = 0; i < 50; ++i)
            dir.file(QString("many/f%1").arg(i), QByteArray(10, 'x'));
        int asked = 0;
        QCOMPARE(fs.directorySize(dir.url("many"), [&] { return ++asked <= 5; }), qint64(50));
        QCOMPARE(asked, 6);

        dir.openToOthers();
        setMode(dir.file("readable/a", QByteArray(10, 'a')), 0644);
        setMode(dir.file("readable/locked/b", QByteArray(99, 'b')), 0644);
        setMode(dir.path("readable/locked"), 0700);
        setMode(dir.path("readable"), 0755);
        AsUnprivileged unprivileged;
        QCOMPARE(fs.directorySize(dir.url("readable")), qint64(10));
        QCOMPARE(fs.directorySize(dir.url("missing")), qint64(0));
    }

private:
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestItemInfo)
#include "tst_iteminfo.moc"
