// Listing a folder: order, hidden entries, links, failures and odd names.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "itemlists.h"
#include "testdir.h"

#include <QTest>

#include <fcntl.h>

class TestListDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void order_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<bool>("showHidden");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, QStringList files, QStringList folders, bool showHidden, QStringList expected) {
            QTest::newRow(name) << files << folders << showHidden << expected;
        };
        row("numbers by value", {"file10", "file2", "file1"}, {}, false, {"file1", "file2", "file10"});
        row("case and accents do not decide first", {"Banana", "éclair2", "apple", "zebra", "eclair"}, {}, false,
            {"apple", "Banana", "eclair", "éclair2", "zebra"});
        row("folders first, both groups sorted", {"b.txt", "A.txt"}, {"Zeta", "alpha", "dir10", "dir9"}, false,
            {"alpha", "dir9", "dir10", "Zeta", "A.txt", "b.txt"});
        row("long shared beginnings", {"Quarterly report 2024 draft 10", "quarterly report 2024 draft 9",
                                        "Quarterly report 2024 draft", "quarterly report 2024 final"}, {}, false,
            {"Quarterly report 2024 draft", "quarterly report 2024 draft 9", "Quarterly report 2024 draft 10",
             "quarterly report 2024 final"});
        row("hidden left out", {".settings", "b"}, {".git", "a"}, false, {"a", "b"});
        row("hidden shown in order", {".settings", "b"}, {".git", "a"}, true, {".git", "a", ".settings", "b"});
    }

    void order()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, folders);
        QFETCH(bool, showHidden);
        QFETCH(QStringList, expected);
        TestDir dir;
        for (const QString &name : files)
            dir.file(name);
        for (const QString &name : folders)
            dir.dir(name);
        QCOMPARE(namesOf(FileSystemService().listDirectory(dir.url(), showHidden)), expected);
    }

    // Links keep their own URL and sort with what they point to; a dangling one is a file. The
    // folder is large enough for its details to be read by more than one thread: each entry still
    // gets its own.
    void records()
    {
        TestDir dir;
        dir.file("file", QByteArray(10, 'x'));
        dir.file("folder/inner", QByteArray(100, 'x'));
        dir.link(dir.path("folder"), "link-to-folder");
        dir.link("file", "link-to-file");
        dir.link("nowhere", "dangling");
        QStringList expected{"folder", "link-to-folder", "dangling", "file", "link-to-file"};
        for (int i = 0; i < 5000; ++i)
            expected << dir.file(QStringLiteral("n%1").arg(i), QByteArray(i % 3, 'x')).section('/', -1);
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
        QFile file(dir.path("file"));
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime));
        const QList<FileItem> items = FileSystemService().listDirectory(dir.url(), false);
        QCOMPARE(namesOf(items), expected);
        for (const FileItem &item : items) {
            QCOMPARE(item.url, dir.url(item.name));
            QCOMPARE(item.isDirectory, item.name.contains("folder"));
            QCOMPARE(item.isSymbolicLink, item.name.startsWith("link") || item.name == "dangling");
            if (item.name.startsWith('n'))
                QCOMPARE(item.size, item.name.mid(1).toInt() % 3);
        }
        QCOMPARE(itemNamed(items, "file")->size, 10);
        QCOMPARE(itemNamed(items, "file")->modificationDate, when);
        // Entries of a folder reached through a link lie under the link's resolved target.
        QCOMPARE(FileSystemService().listDirectory(dir.url("link-to-folder"), false).value(0).url,
                 FilePath::fromString(QFileInfo(dir.path("folder")).canonicalFilePath() + "/inner"));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("errnoValue");
        QTest::newRow("missing folder") << "missing" << ENOENT;
        QTest::newRow("a file, not a folder") << "plain.txt" << ENOTDIR;
        QTest::newRow("unreadable folder") << "locked" << EACCES;
    }

    void failures()
    {
        QFETCH(QString, relative);
        QFETCH(int, errnoValue);
        TestDir dir;
        dir.openToOthers();
        dir.file("plain.txt");
        dir.file("locked/secret");
        setMode(dir.path("locked"), 0);
        AsUnprivileged unprivileged;
        const FileError error = failure([&] { FileSystemService().listDirectory(dir.url(relative), true); });
        QCOMPARE(error.code(), errnoValue);
        QCOMPARE(error.path(), dir.path(relative));
        QVERIFY2(error.message().contains(relative), qPrintable(error.message()));
    }

    // A name that isn't UTF-8 shows a replacement character, yet its URL still reaches exactly
    // that item, even beside an item whose name really holds the replacement character.
    void nameNotValidUtf8()
    {
        TestDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray latin1 = folder + "/caf\xe9", lookalike = folder + "/caf\xef\xbf\xbd";
        for (const QByteArray &path : {latin1, lookalike})
            QVERIFY(::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        FileSystemService fs;
        const QList<FileItem> items = fs.listDirectory(dir.url(), false);
        QCOMPARE(namesOf(items), (QStringList{"caf\uFFFD", "caf\uFFFD"}));
        QVERIFY(items[0].url != items[1].url);
        const QList<FileItem> walked = fs.enumerateRecursively(dir.url(), false, 10, {}, {}).items;
        QCOMPARE(namesOf(walked), namesOf(items));
        QCOMPARE(QSet<FilePath>({walked[0].url, walked[1].url}), QSet<FilePath>({items[0].url, items[1].url}));
        // A leading byte-order mark is part of a name too.
        const QString bomName = QChar(0xFEFF) + QStringLiteral("caf"); // Qt drops a BOM read from literals
        dir.file(bomName);
        const QList<FileItem> withBom = fs.listDirectory(dir.url(), false);
        QVERIFY(std::any_of(withBom.begin(), withBom.end(), [&](const FileItem &item) { return item.url == dir.url(bomName); }));
        fs.rename(dir.url(bomName), "was-bom");
        for (const FileItem &item : items)
            fs.rename(item.url, item.url == FilePath::fromString(dir.path("caf\uFFFD")) ? "was-lookalike" : "was-latin1");
        QCOMPARE(dir.entries(), (QStringList{"was-bom", "was-latin1", "was-lookalike"}));
    }
};

QTEST_GUILESS_MAIN(TestListDirectory)
#include "tst_listdirectory.moc"
