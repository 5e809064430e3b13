// ZIP archives: a stored tree comes back the same, nothing is ever overwritten, a failure leaves
// no half archive, and a crafted archive can't write outside the folder it is extracted into.

#include "craftedzip.h"
#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"
#include "treeremover.h"
#include "treesnapshot.h"
#include "zipextractor.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <clocale>
#include <sys/mount.h>

using Spoil = QByteArray (*)(QByteArray zip); // returns a written archive's new contents

class TestArchives : public QObject
{
    Q_OBJECT
    FileSystemService fs;

private Q_SLOTS:
    // Names travel as UTF-8 under the C locale too; the archive leaves itself out; unzipping again adds copies.
    void roundTrip()
    {
        TestDir dir;
        dir.file("src/proj/a.txt", "alpha");
        dir.file("src/proj/sub/tool", QByteArray("\x00\x01\xff binary", 10));
        dir.file("src/proj/sub/Grüße 日本.txt", "unicode");
        dir.dir("src/proj/sub/empty");
        dir.link("../a.txt", "src/proj/sub/link");
        dir.file("other/top file.txt", "top");
        dir.file("other/not chosen", "left out");
        const QList<std::pair<const char *, int>> modes{{"a.txt", 0640}, {"sub/tool", 0755}, {"sub/empty", 0750}, {"sub", 0755}, {"", 0700}};
        for (int i = 0; i < modes.size(); ++i) {
            setMode(dir.path("src/proj/") + modes[i].first, modes[i].second);
            setTimes(dir.path("src/proj/") + modes[i].first, 1'000'000'000, 1'500'000'000 - i * 100'000'000);
        }
        const TreeSnapshot before(dir.path("src/proj"), TreeSnapshot::Times::archived);
        dir.file("x/top file.txt", "mine");
        const auto restoreLocale = qScopeGuard([saved = QByteArray(::setlocale(LC_ALL, nullptr))] { ::setlocale(LC_ALL, saved); });
        ::setlocale(LC_ALL, "C");
        fs.compress({dir.url("src"), dir.url("other/top file.txt")}, dir.url("src/both.zip"));
        fs.unzip(dir.url("src/both.zip"), dir.url("x"));
        fs.unzip(dir.url("src/both.zip"), dir.url("x"));
        QVERIFY(utf8Flagged(dir.read("src/both.zip"), "src/proj/sub/Grüße 日本.txt")); // so other tools read it too
        QCOMPARE(dir.entries("x") + dir.entries("x/src"), // the archive left itself out
                 (QStringList{"src", "src copy", "top file copy 2.txt", "top file copy.txt", "top file.txt", "proj"}));
        QVERIFY(before.matches(dir.path("x/src/proj")));
        QCOMPARE(dir.read("x/top file.txt"), QByteArray("mine"));
        QCOMPARE(dir.read("x/top file copy 2.txt"), QByteArray("top"));
    }

    void compressFailures_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("archive"); // "taken.zip" exists already
        QTest::addColumn<QString>("error"); // "path: detail"
        QTest::newRow("archive exists") << QStringList{"folder/readable"} << "taken.zip" << "out/taken.zip: " + FileError::errnoText(EEXIST);
        QTest::newRow("unreadable file") << QStringList{"folder", "missing"} << "a.zip" << "folder/secret: " + FileError::errnoText(EACCES);
        QTest::newRow("missing item") << QStringList{"folder/readable", "missing"} << "a.zip" << "missing: " + FileError::errnoText(ENOENT);
        QTest::newRow("name not UTF-8") << QStringList{"odd"} << "a.zip" << "odd/caf" + QChar(0xDCE9) + ": its name isn't valid UTF-8";
        QTest::newRow("link target not UTF-8") << QStringList{"odd/ln"} << "a.zip" << "odd/ln: its link target isn't valid UTF-8";
    }

    void compressFailures()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, archive);
        QFETCH(QString, error);
        TestDir dir;
        dir.openToOthers();
        dir.file("folder/readable", "r");
        setMode(dir.file("folder/secret", "s"), 0600);
        const QByteArray badName = QFile::encodeName(dir.dir("odd")) + "/caf\xe9";
        QVERIFY(::symlink("ln", badName.constData()) == 0);
        const auto removeBad = qScopeGuard([&] { ::unlink(badName.constData()); }); // QDir can't name it
        QVERIFY(::symlink("caf\xe9", QFile::encodeName(dir.path("odd/ln")).constData()) == 0);
        dir.file("out/taken.zip", "precious");
        setMode(dir.path("out"), 0777);
        QList<FilePath> urls;
        for (const QString &item : items)
            urls << dir.url(item);
        AsUnprivileged unprivileged;
        const FileError failed = failure([&] { fs.compress(urls, dir.url("out/" + archive)); });
        QCOMPARE(failed.code(), FileError::WriteUnknown);
        QCOMPARE(failed.path().mid(dir.path().size() + 1) + ": " + failed.detail(), error);
        QCOMPARE(dir.entries("out"), QStringList{"taken.zip"});
        QCOMPARE(dir.read("out/taken.zip"), QByteArray("precious"));
    }

    void refusedArchives_data()
    {
        QTest::addColumn<QList<ZipEntry>>("entries");
        QTest::addColumn<Spoil>("spoil");
        const auto row = [](const char *name, QList<ZipEntry> entries, Spoil spoil = nullptr) { QTest::newRow(name) << entries << spoil; };
        row("parent folder", {zipFile("fine.txt"), zipFile("../evil")});
        row("parent inside a path", {zipFile("a/../../evil")});
        row("absolute name", {zipFile("ABSOLUTE/evil")});
        row("link outside, then a file through it", {zipLink("ln", "../outside"), zipFile("ln/evil")});
        row("absolute link", {zipLink("ln", "ABSOLUTE")});
        row("link climbing too far", {zipLink("a/b/ln", "../../../x")});
        row("link through a link inside", {zipLink("d/s", ".."), zipLink("t", "d/s/../../x")});
        row("file written through a link inside", {zipFolder("real/"), zipLink("ln", "real"), zipFile("ln/file")});
        row("same name twice", {zipFile("a"), zipLink("a", "b")});
        row("same path spelled twice", {zipFile("d/b"), zipFile("d/./b")});
        row("file over a folder", {zipFile("d/b"), zipFile("d")});
        row("bad checksum", {zipFile("fine.txt"), zipFile("d/bad", "payload")}, [](QByteArray zip) { return zip.replace("payload", "PAYLOAD"); });
        row("truncated", {zipFile("data", QByteArray(200000, 'd'))}, [](QByteArray zip) { return zip.first(zip.size() / 2); });
        row("text", {}, [](QByteArray) { return QByteArray("just some words, no archive here\n"); });
        row("empty file", {}, [](QByteArray) { return QByteArray(); });
    }

    // "ABSOLUTE" stands for the folder beside the destination, which lies deeper so that "../" stays in "dest".
    void refusedArchives()
    {
        QFETCH(QList<ZipEntry>, entries);
        QFETCH(Spoil, spoil);
        TestDir dir;
        dir.file("outside/victim");
        for (ZipEntry &e : entries)
            for (QByteArray *text : {&e.name, &e.target})
                text->replace("ABSOLUTE", QFile::encodeName(dir.path("outside")));
        writeZip(dir.path("crafted.zip"), entries);
        if (spoil)
            dir.file("crafted.zip", spoil(dir.read("crafted.zip")));
        dir.dir("dest/deeper");
        QCOMPARE(failure([&] { fs.unzip(dir.url("crafted.zip"), dir.url("dest/deeper")); }).code(), FileError::ReadCorruptFile);
        QCOMPARE(dir.entries("outside"), QStringList{"victim"});
        QCOMPARE(dir.entries("dest") + dir.entries("dest/deeper"), QStringList{"deeper"}); // nothing half extracted
    }

    // Set-id bits are dropped; an ordinary user fills read-only folders, which get their modes at the
    // end. Unflagged names are UTF-8 when valid, else the old DOS code page; a folder entry after its
    // contents is no second entry of the same name.
    void entriesAsStored()
    {
        TestDir dir;
        dir.openToOthers();
        writeZip(dir.path("a.zip"), {zipFile("tool", "#!/bin/sh\n", 06755), zipFolder("dir/", 01777),
                                     zipFolder("locked/", 0555), zipFolder("locked/inner/", 0500), zipFile("locked/inner/f", "data", 0444),
                                     zipFile("late/f"), zipFolder("late/"), zipFile("\x8Erger.txt", "dos"), zipFile("Gr\xc3\xbc\xc3\x9f" "e.txt")});
        setMode(dir.dir("dest"), 0777);
        AsUnprivileged unprivileged;
        fs.unzip(dir.url("a.zip"), dir.url("dest"));
        QCOMPARE(dir.entries("dest"), (QStringList{"Grüße.txt", "dir", "late", "locked", "tool", "Ärger.txt"}));
        QCOMPARE(dir.read("dest/locked/inner/f"), QByteArray("data"));
        const QList<std::pair<const char *, int>> modes{{"tool", 0755}, {"dir", 0777}, {"locked", 0555}, {"locked/inner", 0500}};
        for (const auto &[path, mode] : modes)
            QCOMPARE(modeOf(dir.path("dest/") + path), mode);
    }

    // When an item can't be moved into place, those moved before it go back into the hidden folder.
    void placingRollsBack()
    {
        TestDir dir;
        for (const QString item : {"a", "b/inner", "c"})
            dir.file("stage/" + item);
        QVERIFY_THROWS_EXCEPTION(FileError, ZipExtractor::placeAll(dir.path("stage"), {"a", "b", "c"}, [&](const QString &from, const QString &name) {
            if (name == "c")
                throw FileError(FileError::Operation::Extract, FileError::ReadCorruptFile, from);
            QFile::rename(from, dir.path(name));
            return dir.path(name);
        }));
        QCOMPARE(dir.entries(), QStringList{"stage"});
        QCOMPARE(dir.entries("stage"), (QStringList{"a", "b", "c"}));
    }

    void fullDisk_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<int>("files"); // small ones; with none, four pieces of noise that each fit alone
        QTest::newRow("the declared sizes can't fit: refused at once") << QByteArray("size=256k") << 0;
        QTest::newRow("room runs out while writing (no inodes left)") << QByteArray("size=1m,nr_inodes=6") << 20;
    }

    // A destination that can't take the archive fails the whole operation, naming the
    // destination and the lack of room, and leaves nothing behind.
    void fullDisk()
    {
        QFETCH(QByteArray, options);
        QFETCH(int, files);
        TestDir dir;
        const QByteArray small = QFile::encodeName(dir.dir("small"));
        if (::mount("tmpfs", small.constData(), "tmpfs", 0, options.constData()) != 0)
            QSKIP("a small file system can't be mounted here");
        const auto unmount = qScopeGuard([&] { ::umount2(small.constData(), MNT_DETACH); });
        QByteArray noise(100 * 1024, Qt::Uninitialized);
        QList<ZipEntry> entries{zipFile("fits", "small")};
        for (int i = 0; i < (files ? 0 : 4); ++i) {
            QRandomGenerator(i).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            entries.append(zipFile("noise" + QByteArray::number(i), noise));
        }
        for (int i = 0; i < files; ++i)
            entries.append(zipFile("file" + QByteArray::number(i)));
        writeZip(dir.path("big.zip"), entries);
        if (!files) {
            const FileError compressing = failure([&] { fs.compress({dir.url("big.zip")}, dir.url("small/a.zip")); });
            QCOMPARE(compressing.code(), FileError::WriteUnknown);
            QCOMPARE(compressing.detail(), FileError::errnoText(ENOSPC));
            QCOMPARE(compressing.path(), dir.path("small/a.zip")); // not the file being read
        }
        const FileError extracting = failure([&] { fs.unzip(dir.url("big.zip"), dir.url("small")); });
        QCOMPARE(extracting.code(), ENOSPC);
        QVERIFY2(extracting.message().contains(dir.path("small")), qPrintable(extracting.message()));
        QCOMPARE(extracting.message().contains("needs"), files == 0);
        QCOMPARE(dir.entries("small"), QStringList{});
    }

    // Compressing and extracting report progress in the bytes of the files read or unpacked,
    // against a total known from the start. Asked to, they and deleting for good stop inside a
    // large item: no archive or unpacked item is left half made, and the source is as it was (a
    // deletion keeps what it hadn't reached).
    void progressAndCancellation_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("answers"); // the check says "go on" this many times, then "stop"; -1: never
        QTest::newRow("compress, to the end") << "compress" << -1;
        QTest::newRow("extract, to the end") << "extract" << -1;
        QTest::newRow("compress, inside a large file") << "compress" << 4;
        QTest::newRow("compress, before the first entry") << "compress" << 0;
        QTest::newRow("extract, inside an entry's data") << "extract" << 4;
        QTest::newRow("delete, between entries") << "delete" << 6;
    }
    void progressAndCancellation()
    {
        QFETCH(QString, job);
        QFETCH(int, answers);
        TestDir dir;
        QByteArray noise(3 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        dir.file("Tree/big.bin", noise);
        for (int i = 0; i < 8; ++i)
            dir.file(QStringLiteral("Tree/small %1.txt").arg(i), "small");
        dir.link("big.bin", "Tree/link"); // counts as no bytes
        dir.dir("out");
        if (job == "extract")
            fs.compress({dir.url("Tree")}, dir.url("Tree.zip"));
        const TreeSnapshot before(dir.path("Tree"));
        const QByteArray archive = dir.read("Tree.zip");
        int asked = 0;
        QList<std::pair<qint64, qint64>> reports;
        CopyControl control;
        control.shouldContinue = [&] { return answers < 0 || asked++ < answers; };
        if (answers < 0) // a job that reports progress measures first, asking the check more often
            control.onProgress = [&](qint64 done, qint64 total) { reports.append({done, total}); };
        const auto run = [&] {
            if (job == "compress")
                fs.compress({dir.url("Tree")}, dir.url("out/Tree.zip"), control);
            else if (job == "extract")
                fs.unzip(dir.url("Tree.zip"), dir.url("out"), control);
            else
                TreeRemover::removeItem(dir.path("Tree"), FileError::Operation::Delete, control);
        };
        if (answers < 0) {
            run();
            const qint64 size = (3 << 20) + 8 * 5;
            QVERIFY(reports.size() >= 2);
            QCOMPARE(reports.first().second, size);
            QVERIFY(reports.first().first > 0 && reports.first().first < size);
            QCOMPARE(reports.last(), std::make_pair(size, size));
            return;
        }
        QCOMPARE(failure(run).code(), ECANCELED);
        QCOMPARE(asked, answers + 1); // stopped at once, not at the end
        QCOMPARE(dir.entries("out"), QStringList{});
        if (job == "delete") {
            const qsizetype left = dir.entries("Tree").size();
            QVERIFY2(left > 0 && left < 10, qPrintable(QString::number(left)));
        } else {
            QVERIFY(before.matches(dir.path("Tree")));
            QCOMPARE(dir.read("Tree.zip"), archive);
        }
    }

    // The extractor's own check, apart from the one libarchive makes: either alone must hold.
    void entryNamesThatStayInside()
    {
        QVERIFY(ZipExtractor::isSafeEntryName("./a/..b/c..d"));
        for (const char *name : {"../evil", "a/b/../../../evil", "a/..", "a//..//evil", "/etc/evil"})
            QVERIFY2(!ZipExtractor::isSafeEntryName(name), name);
    }
};

QTEST_GUILESS_MAIN(TestArchives)
#include "tst_archives.moc"
