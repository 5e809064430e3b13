// ZIP archives: a stored tree comes back the same, nothing is ever overwritten, a failure leaves
// no half archive, and a crafted archive can't write outside the folder it is extracted into.

#include "craftedzip.h"
#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"
#include "treesnapshot.h"
#include "zipextractor.h"

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <clocale>
#include <fcntl.h>
#include <sys/mount.h>

class TestArchives : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void failedCompressLeavesNothing();
    void archiveInsideTheStoredFolder();
    void unzipTwiceKeepsBoth();
    void notAnArchive_data();
    void notAnArchive();
    void craftedArchives_data();
    void craftedArchives();
    void modesFromTheArchive();
    void legacyNames();
    void unstorableNames();
    void longNamesGetShortCopies_data();
    void longNamesGetShortCopies();
    void placingRollsBack();
    void fullDisk();

private:
    FileSystemService fs;
};

// Under the plain C locale too, names travel as UTF-8.
void TestArchives::roundTrip()
{
    TestDir dir;
    dir.file("src/proj/a.txt", "alpha");
    dir.file("src/proj/sub/tool", QByteArray("\x00\x01\xff binary", 10));
    dir.file("src/proj/sub/Grüße 日本.txt", "unicode");
    dir.dir("src/proj/sub/empty");
    dir.link("../a.txt", "src/proj/sub/link");
    dir.link("../gone", "src/proj/dangling");
    dir.file("src/top file.txt", "top");
    dir.file("src/not chosen", "left out");
    const QList<std::pair<const char *, int>> modes{{"a.txt", 0640}, {"sub/tool", 0755}, {"sub/empty", 0750}, {"sub", 0755}, {"", 0700}};
    for (int i = 0; i < modes.size(); ++i) {
        setMode(dir.path("src/proj/") + modes[i].first, modes[i].second);
        setTimes(dir.path("src/proj/") + modes[i].first, 1'000'000'000, 1'500'000'000 - i * 100'000'000);
    }
    const TreeSnapshot before(dir.path("src/proj"), TreeSnapshot::Times::archived);
    dir.dir("x");
    const QByteArray savedLocale = ::setlocale(LC_ALL, nullptr);
    ::setlocale(LC_ALL, "C");
    fs.compress({dir.url("src/proj"), dir.url("src/top file.txt")}, dir.url("both.zip"));
    fs.unzip(dir.url("both.zip"), dir.url("x"));
    ::setlocale(LC_ALL, savedLocale.constData());
    QVERIFY(dir.read("both.zip").contains("Grüße 日本.txt")); // so other tools read it too
    QCOMPARE(dir.entries("x"), (QStringList{"proj", "top file.txt"}));
    QVERIFY(before.matches(dir.path("x/proj")));
    QCOMPARE(dir.read("x/top file.txt"), QByteArray("top"));
}

void TestArchives::failedCompressLeavesNothing()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("folder/readable", "r");
    dir.file("folder/secret", "s");
    dir.file("out/taken.zip", "precious");
    setMode(dir.path("folder/secret"), 0600);
    setMode(dir.path("out"), 0777);
    AsUnprivileged unprivileged;
    const auto compress = [&](const QList<QUrl> &items, const QString &archive) {
        return failure([&] { fs.compress(items, dir.url("out/" + archive)); });
    };
    QCOMPARE(compress({dir.url("folder/readable")}, "taken.zip").code(), FileError::WriteUnknown);
    const FileError unreadable = compress({dir.url("folder"), dir.url("missing")}, "a.zip");
    QCOMPARE(unreadable.code(), FileError::WriteUnknown);
    QCOMPARE(unreadable.path(), dir.path("folder/secret"));
    QCOMPARE(compress({dir.url("folder/readable"), dir.url("missing")}, "a.zip").code(), FileError::WriteUnknown);
    QCOMPARE(dir.entries("out"), QStringList{"taken.zip"});
    QCOMPARE(dir.read("out/taken.zip"), QByteArray("precious"));
}

// The archive must not take itself in.
void TestArchives::archiveInsideTheStoredFolder()
{
    TestDir dir;
    dir.file("src/a", QByteArray(300000, 'a'));
    fs.compress({dir.url("src")}, dir.url("src/src.zip"));
    fs.unzip(dir.url("src/src.zip"), dir.url("src"));
    QCOMPARE(dir.entries("src/src"), QStringList{"a"});
}

void TestArchives::unzipTwiceKeepsBoth()
{
    TestDir dir;
    dir.file("src/proj/inner", "1");
    dir.file("src/notes.txt", "2");
    fs.compress({dir.url("src/proj"), dir.url("src/notes.txt")}, dir.url("a.zip"));
    dir.file("dest/notes.txt", "mine");
    fs.unzip(dir.url("a.zip"), dir.url("dest"));
    fs.unzip(dir.url("a.zip"), dir.url("dest"));
    QCOMPARE(dir.entries("dest"), (QStringList{"notes copy 2.txt", "notes copy.txt", "notes.txt", "proj", "proj copy"}));
    QCOMPARE(dir.read("dest/notes.txt"), QByteArray("mine"));
    QCOMPARE(dir.read("dest/notes copy 2.txt"), QByteArray("2"));
    QCOMPARE(dir.read("dest/proj copy/inner"), QByteArray("1"));
}

void TestArchives::notAnArchive_data()
{
    QTest::addColumn<QByteArray>("contents"); // empty with "truncate": half of a real archive
    QTest::addColumn<bool>("truncate");
    QTest::newRow("text") << QByteArray("just some words, no archive here\n") << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("truncated archive") << QByteArray() << true;
}

void TestArchives::notAnArchive()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, truncate);
    TestDir dir;
    if (truncate) {
        dir.file("src/data", QByteArray(200000, 'd') + "1234567");
        fs.compress({dir.url("src/data")}, dir.url("whole.zip"));
        contents = dir.read("whole.zip").first(dir.read("whole.zip").size() / 2);
    }
    dir.file("bad.zip", contents);
    dir.dir("dest");
    QCOMPARE(failure([&] { fs.unzip(dir.url("bad.zip"), dir.url("dest")); }).code(), FileError::ReadCorruptFile);
    QCOMPARE(dir.entries("dest"), QStringList{});
}

void TestArchives::craftedArchives_data()
{
    QTest::addColumn<QList<ZipEntry>>("entries");
    QTest::addColumn<QByteArray>("altered"); // stored data changed in the archive afterwards
    QTest::newRow("parent folder") << QList<ZipEntry>{{"fine.txt", AE_IFREG, 0644, "ok", {}}, {"../evil", AE_IFREG, 0644, "x", {}}} << QByteArray();
    QTest::newRow("parent inside a path") << QList<ZipEntry>{{"a/../../evil", AE_IFREG, 0644, "x", {}}} << QByteArray();
    QTest::newRow("absolute name") << QList<ZipEntry>{{"ABSOLUTE/evil", AE_IFREG, 0644, "x", {}}} << QByteArray();
    QTest::newRow("link outside, then a file through it") << QList<ZipEntry>{{"ln", AE_IFLNK, 0777, {}, "../outside"}, {"ln/evil", AE_IFREG, 0644, "x", {}}} << QByteArray();
    QTest::newRow("absolute link") << QList<ZipEntry>{{"ln", AE_IFLNK, 0777, {}, "ABSOLUTE"}} << QByteArray();
    QTest::newRow("link climbing too far") << QList<ZipEntry>{{"a/b/ln", AE_IFLNK, 0777, {}, "../../../x"}} << QByteArray();
    QTest::newRow("link through a link inside") << QList<ZipEntry>{{"d/s", AE_IFLNK, 0777, {}, ".."}, {"t", AE_IFLNK, 0777, {}, "d/s/../../x"}} << QByteArray();
    QTest::newRow("file written through a link inside")
        << QList<ZipEntry>{{"real/", AE_IFDIR, 0755, {}, {}}, {"ln", AE_IFLNK, 0777, {}, "real"},
                        {"ln/file", AE_IFREG, 0644, "x", {}}} << QByteArray();
    QTest::newRow("bad checksum") << QList<ZipEntry>{{"fine.txt", AE_IFREG, 0644, "ok", {}}, {"d/bad", AE_IFREG, 0644, "payload", {}}}
                                  << QByteArray("payload");
    QTest::newRow("same name twice") << QList<ZipEntry>{{"a", AE_IFREG, 0644, "1", {}}, {"a", AE_IFLNK, 0777, {}, "b"}} << QByteArray();
    QTest::newRow("same path spelled twice") << QList<ZipEntry>{{"d/b", AE_IFREG, 0644, "1", {}}, {"d/./b", AE_IFREG, 0644, {}, {}}} << QByteArray();
    QTest::newRow("file over a folder") << QList<ZipEntry>{{"d/b", AE_IFREG, 0644, "1", {}}, {"d", AE_IFREG, 0644, {}, {}}} << QByteArray();
}

// "ABSOLUTE" in a name or target stands for the folder beside the destination. The destination
// lies one level down, so that "../" alone would still land inside the test's "dest".
void TestArchives::craftedArchives()
{
    QFETCH(QList<ZipEntry>, entries);
    QFETCH(QByteArray, altered);
    TestDir dir;
    dir.file("outside/victim", "untouched");
    for (ZipEntry &e : entries) {
        e.name.replace("ABSOLUTE", QFile::encodeName(dir.path("outside")));
        e.target.replace("ABSOLUTE", QFile::encodeName(dir.path("outside")));
    }
    writeZip(dir.path("crafted.zip"), entries);
    if (!altered.isEmpty()) {
        QByteArray zip = dir.read("crafted.zip");
        QCOMPARE(zip.count(altered), 1);
        dir.file("crafted.zip", zip.replace(altered, QByteArray(altered).replace(0, 1, "P")));
    }
    dir.dir("dest/deeper");
    QCOMPARE(failure([&] { fs.unzip(dir.url("crafted.zip"), dir.url("dest/deeper")); }).code(), FileError::ReadCorruptFile);
    QCOMPARE(dir.read("outside/victim"), QByteArray("untouched"));
    QCOMPARE(dir.entries("outside"), QStringList{"victim"});
    QCOMPARE(dir.entries("dest"), QStringList{"deeper"});
    QCOMPARE(dir.entries("dest/deeper"), QStringList{}); // nothing half extracted
}

// Set-id bits from an archive are dropped; read-only folders can still be filled by an ordinary
// user and get their modes at the end.
void TestArchives::modesFromTheArchive()
{
    TestDir dir;
    dir.openToOthers();
    writeZip(dir.path("a.zip"), {{"tool", AE_IFREG, 06755, "#!/bin/sh\n", {}}, {"dir/", AE_IFDIR, 01777, {}, {}},
                                 {"dir/l", AE_IFLNK, 0777, {}, "../tool"}, {"locked/", AE_IFDIR, 0555, {}, {}},
                                 {"locked/inner/", AE_IFDIR, 0500, {}, {}}, {"locked/inner/f", AE_IFREG, 0444, "data", {}}});
    setMode(dir.path("a.zip"), 0644);
    setMode(dir.dir("dest"), 0777);
    {
        AsUnprivileged unprivileged;
        fs.unzip(dir.url("a.zip"), dir.url("dest"));
        QCOMPARE(dir.read("dest/locked/inner/f"), QByteArray("data"));
    }
    QCOMPARE(modeOf(dir.path("dest/tool")), 0755);
    QCOMPARE(modeOf(dir.path("dest/dir")), 0777);
    QCOMPARE(dir.read("dest/dir/l"), QByteArray("#!/bin/sh\n"));
    QCOMPARE(modeOf(dir.path("dest/locked")), 0555);
    QCOMPARE(modeOf(dir.path("dest/locked/inner")), 0500);
}

// Names without the UTF-8 flag are read in the DOS code page; a folder entry after its contents
// is no second entry of the same name.
void TestArchives::legacyNames()
{
    TestDir dir;
    // Unflagged names: valid UTF-8 is read as UTF-8, anything else as the old DOS code page.
    writeZip(dir.path("old.zip"), {{"\x8Erger.txt", AE_IFREG, 0644, "dos", {}}, {"dir/f", AE_IFREG, 0644, "f", {}},
                                   {"dir/", AE_IFDIR, 0755, {}, {}}, {"Gr\xc3\xbc\xc3\x9f" "e.txt", AE_IFREG, 0644, "u", {}}});
    dir.dir("dest");
    fs.unzip(dir.url("old.zip"), dir.url("dest"));
    QCOMPARE(dir.entries("dest"), (QStringList{"Grüße.txt", "dir", "Ärger.txt"}));
    QCOMPARE(dir.read("dest/Ärger.txt"), QByteArray("dos"));
    QCOMPARE(dir.read("dest/dir/f"), QByteArray("f"));
}

// A name or link target that isn't UTF-8 can't be stored as the archive marks its names.
void TestArchives::unstorableNames()
{
    TestDir dir;
    dir.file("name/fine", "ok");
    const QByteArray bad = QFile::encodeName(dir.path("name/")) + "caf\xe9";
    QVERIFY(::close(::open(bad.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
    const auto removeBad = qScopeGuard([&] { ::unlink(bad.constData()); }); // QDir can't name it
    dir.file("target/fine", "ok");
    QVERIFY(::symlink("caf\xe9", QFile::encodeName(dir.path("target/ln")).constData()) == 0);
    dir.dir("out");
    for (const QString item : {"name", "target"}) {
        const FileError error = failure([&] { fs.compress({dir.url(item)}, dir.url("out/a.zip")); });
        QCOMPARE(error.code(), FileError::WriteUnknown);
        QCOMPARE(error.detail(), QString("its " + item + " isn't valid UTF-8"));
        QCOMPARE(dir.entries("out"), QStringList{});
    }
}

void TestArchives::longNamesGetShortCopies_data()
{
    QTest::addColumn<QString>("name"); // taken in the destination, and in the archive
    QTest::addColumn<QString>("copy");
    QTest::newRow("ASCII") << QString(251, 'x') + ".txt" << QString(246, 'x') + " copy.txt";
    QTest::newRow("two bytes a character") << QString(125, u'ä') + ".txt" << QString(123, u'ä') + " copy.txt";
    QTest::newRow("surrogate pairs") << "abc" + QString("😀").repeated(61) + ".txt" << "abc" + QString("😀").repeated(60) + " copy.txt";
    QTest::newRow("long extension") << "a." + QString(250, 'e') << "a." + QString(248, 'e') + " copy";
}

void TestArchives::longNamesGetShortCopies()
{
    QFETCH(QString, name);
    QFETCH(QString, copy);
    TestDir dir;
    dir.file("src/" + name, "new");
    fs.compress({dir.url("src/" + name)}, dir.url("a.zip"));
    dir.file("dest/" + name, "mine");
    fs.unzip(dir.url("a.zip"), dir.url("dest"));
    QCOMPARE(dir.entries("dest"), (QStringList{copy, name}));
    QCOMPARE(dir.read("dest/" + copy), QByteArray("new"));
}

// When an item can't be moved into place, those moved before it go back into the hidden folder.
void TestArchives::placingRollsBack()
{
    TestDir dir;
    dir.file("stage/a", "1");
    dir.file("stage/b/inner", "2");
    dir.file("stage/c", "3");
    dir.dir("dest");
    const FileError error = failure([&] {
        ZipExtractor::placeAll(dir.path("stage"), {"a", "b", "c"}, [&](const QString &from, const QString &name) {
            if (name == "c")
                throw FileError(FileError::Operation::Extract, FileError::ReadCorruptFile, from);
            QFile::rename(from, dir.path("dest/" + name));
            return dir.path("dest/" + name);
        });
    });
    QCOMPARE(error.path(), dir.path("stage/c"));
    QCOMPARE(dir.entries("dest"), QStringList{});
    QCOMPARE(dir.entries("stage"), (QStringList{"a", "b", "c"}));
    QCOMPARE(dir.read("stage/b/inner"), QByteArray("2"));
}

// A write that fails for want of space fails the whole operation, with the system's reason.
void TestArchives::fullDisk()
{
    TestDir dir;
    const QByteArray small = QFile::encodeName(dir.dir("small"));
    if (::mount("tmpfs", small.constData(), "tmpfs", 0, "size=256k") != 0)
        QSKIP("a small file system can't be mounted here");
    const auto unmount = qScopeGuard([&] { ::umount2(small.constData(), MNT_DETACH); });
    QByteArray noise(1024 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    dir.file("src/noise", noise);
    const FileError compressing = failure([&] { fs.compress({dir.url("src/noise")}, dir.url("small/a.zip")); });
    QCOMPARE(compressing.code(), FileError::WriteUnknown);
    QCOMPARE(compressing.detail(), FileError::errnoText(ENOSPC));
    writeZip(dir.path("big.zip"), {{"fits", AE_IFREG, 0644, "small", {}}, {"noise", AE_IFREG, 0644, noise, {}}});
    QCOMPARE(failure([&] { fs.unzip(dir.url("big.zip"), dir.url("small")); }).code(), FileError::ReadCorruptFile);
    QCOMPARE(dir.entries("small"), QStringList{});
}

QTEST_GUILESS_MAIN(TestArchives)
#include "tst_archives.moc"
