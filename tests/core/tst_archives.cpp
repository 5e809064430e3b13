// ZIP archives: a stored tree comes back the same, nothing is ever overwritten, and a crafted
// archive can't write outside the folder it is extracted into.

#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"
#include "utf8localescope.h"

#include <QDirIterator>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

struct Entry
{
    QByteArray name;
    mode_t type = AE_IFREG;
    int perm = 0644;
    QByteArray data;
    QByteArray target; // symbolic link target
};

// Writes entries as given, with no checks of its own: the archives an attacker could make.
void writeZip(const QString &path, const QList<Entry> &entries)
{
    archive *zip = archive_write_new();
    archive_write_set_format_zip(zip);
    QCOMPARE(archive_write_open_filename(zip, QFile::encodeName(path).constData()), ARCHIVE_OK);
    for (const Entry &e : entries) {
        archive_entry *entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, mode_t(e.perm));
        archive_entry_set_size(entry, e.data.size());
        if (!e.target.isEmpty())
            archive_entry_set_symlink(entry, e.target.constData());
        QVERIFY2(archive_write_header(zip, entry) == ARCHIVE_OK, archive_error_string(zip));
        if (!e.data.isEmpty())
            archive_write_data(zip, e.data.constData(), size_t(e.data.size()));
        archive_entry_free(entry);
    }
    archive_write_free(zip);
}

QStringList entryNames(const QString &path)
{
    const Utf8LocaleScope utf8Names;
    QStringList names;
    archive *reader = archive_read_new();
    archive_read_support_format_zip(reader);
    if (archive_read_open_filename(reader, QFile::encodeName(path).constData(), 16384) == ARCHIVE_OK) {
        archive_entry *entry;
        for (int r; (r = archive_read_next_header(reader, &entry)) == ARCHIVE_OK || r == ARCHIVE_WARN;)
            names << QString::fromUtf8(archive_entry_pathname_utf8(entry));
    }
    archive_read_free(reader);
    return names;
}

// One line per item below `root`: kind, mode, modification second, and contents or target.
QStringList describeTree(const QString &root)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st;
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString line = path.mid(root.size()) + QString(" %1").arg(st.st_mode & 0777, 0, 8);
        if (S_ISLNK(st.st_mode)) {
            char target[256] = {};
            ::readlink(QFile::encodeName(path).constData(), target, sizeof target - 1);
            line += " -> " + QFile::decodeName(target);
        } else {
            line += QString(" t%1").arg(qint64(st.st_mtime));
            if (S_ISREG(st.st_mode)) {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                line += " " + QString::fromLatin1(f.readAll().toHex());
            } else {
                line += " dir";
            }
        }
        lines << line;
    }
    lines.sort();
    return lines;
}

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

void setModeAndTime(const QString &path, mode_t mode, qint64 seconds)
{
    const QByteArray encoded = QFile::encodeName(path);
    QCOMPARE(::chmod(encoded.constData(), mode), 0);
    const struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    QCOMPARE(::utimes(encoded.constData(), times), 0);
}

// The code of the FileError that `operation` throws; 0 when it throws none.
template <typename Operation>
int thrownCode(Operation &&operation)
{
    try {
        operation();
    } catch (const FileError &error) {
        return error.code();
    }
    return 0;
}

} // namespace

class TestArchives : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void emptyListDoesNothing();
    void neverOverwritesAnArchive();
    void archiveInsideTheStoredFolder();
    void failedCompressLeavesNothing();
    void namesUnderThePlainCLocale();
    void unzipTwiceKeepsBoth();
    void notAnArchive_data();
    void notAnArchive();
    void craftedArchives_data();
    void craftedArchives();
    void setIdBitsDropped();
    void readOnlyFoldersByAnOrdinaryUser();

private:
    FileSystemService fs;
};

void TestArchives::roundTrip()
{
    TestDir dir;
    dir.file("src/proj/a.txt", "alpha");
    dir.file("src/proj/sub/tool", QByteArray("\x00\x01\xff binary", 10));
    dir.file("src/proj/sub/日本 ü.txt", "unicode");
    dir.dir("src/proj/sub/empty");
    dir.link("../a.txt", "src/proj/sub/link");
    dir.link("../gone", "src/proj/dangling");
    dir.file("src/top file.txt", "top");
    dir.file("src/not chosen", "left out");
    setModeAndTime(dir.path("src/proj/a.txt"), 0640, 1500000000);
    setModeAndTime(dir.path("src/proj/sub/tool"), 0755, 1400000000);
    setModeAndTime(dir.path("src/proj/sub/empty"), 0750, 1300000000);
    setModeAndTime(dir.path("src/proj/sub"), 0755, 1200000000);
    dir.dir("out");

    fs.compress({dir.url("src/proj"), dir.url("src/top file.txt")}, dir.url("out/both.zip"));
    QCOMPARE(dir.entries("out"), QStringList{"both.zip"});
    const QStringList names = entryNames(dir.path("out/both.zip"));
    QVERIFY2(names.contains("proj/") && names.contains("proj/sub/empty/") && names.contains("top file.txt")
                 && names.contains("proj/sub/日本 ü.txt") && !names.contains("not chosen"),
             qPrintable(names.join(", ")));

    dir.dir("x");
    fs.unzip(dir.url("out/both.zip"), dir.url("x"));
    QCOMPARE(dir.entries("x"), (QStringList{"proj", "top file.txt"}));
    QCOMPARE(describeTree(dir.path("x/proj")), describeTree(dir.path("src/proj")));
    QCOMPARE(dir.read("x/top file.txt"), QByteArray("top"));
}

void TestArchives::emptyListDoesNothing()
{
    TestDir dir;
    fs.compress({}, dir.url("a.zip"));
    QCOMPARE(dir.entries(), QStringList{});
}

void TestArchives::neverOverwritesAnArchive()
{
    TestDir dir;
    dir.file("item", "new");
    dir.file("a.zip", "precious");
    try {
        fs.compress({dir.url("item")}, dir.url("a.zip"));
        QFAIL("expected an error");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), FileError::WriteUnknown);
        QVERIFY(!error.detail().isEmpty());
    }
    QCOMPARE(dir.read("a.zip"), QByteArray("precious"));
    QCOMPARE(dir.entries(), (QStringList{"a.zip", "item"}));
}

void TestArchives::archiveInsideTheStoredFolder()
{
    TestDir dir;
    dir.file("src/a", QByteArray(300000, 'a'));
    fs.compress({dir.url("src")}, dir.url("src/src.zip"));
    QCOMPARE(entryNames(dir.path("src/src.zip")), (QStringList{"src/", "src/a"}));
    QCOMPARE(dir.entries("src"), (QStringList{"a", "src.zip"}));
}

void TestArchives::failedCompressLeavesNothing()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("folder/readable", "r");
    dir.file("folder/secret", "s");
    const QString out = dir.dir("out");
    ::chmod(QFile::encodeName(dir.path("folder")).constData(), 0755);
    ::chmod(QFile::encodeName(dir.path("folder/readable")).constData(), 0644);
    ::chmod(QFile::encodeName(dir.path("folder/secret")).constData(), 0600);
    ::chmod(QFile::encodeName(out).constData(), 0777);
    {
        AsUnprivileged unprivileged;
        try {
            fs.compress({dir.url("folder"), dir.url("missing")}, dir.url("out/a.zip"));
            QFAIL("expected an error");
        } catch (const FileError &error) {
            QCOMPARE(error.code(), FileError::WriteUnknown);
            QCOMPARE(error.path(), dir.path("folder/secret"));
        }
    }
    QCOMPARE(dir.entries("out"), QStringList{});
    // Without the unreadable file, the missing item is what fails.
    ::chmod(QFile::encodeName(dir.path("folder/secret")).constData(), 0644);
    QCOMPARE(thrownCode([&] { fs.compress({dir.url("folder"), dir.url("missing")}, dir.url("out/a.zip")); }),
             FileError::WriteUnknown);
    QCOMPARE(dir.entries("out"), QStringList{});
}

void TestArchives::namesUnderThePlainCLocale()
{
    TestDir dir;
    dir.file("src/Grüße 日本.txt", "x");
    dir.dir("dest");
    const QByteArray saved = ::setlocale(LC_ALL, nullptr);
    ::setlocale(LC_ALL, "C");
    fs.compress({dir.url("src/Grüße 日本.txt")}, dir.url("a.zip"));
    fs.unzip(dir.url("a.zip"), dir.url("dest"));
    ::setlocale(LC_ALL, saved.constData());
    QCOMPARE(entryNames(dir.path("a.zip")), QStringList{"Grüße 日本.txt"});
    QCOMPARE(dir.entries("dest"), QStringList{"Grüße 日本.txt"});
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
    QCOMPARE(dir.entries("dest"),
             (QStringList{"notes copy 2.txt", "notes copy.txt", "notes.txt", "proj", "proj copy"}));
    QCOMPARE(dir.read("dest/notes.txt"), QByteArray("mine"));
    QCOMPARE(dir.read("dest/notes copy 2.txt"), QByteArray("2"));
    QCOMPARE(dir.read("dest/proj copy/inner"), QByteArray("1"));
}

void TestArchives::notAnArchive_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("truncate"); // cut a real archive in half instead
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
        dir.file("src/data", QByteArray(200000, 'd') + QByteArray::number(qint64(1234567)));
        fs.compress({dir.url("src/data")}, dir.url("whole.zip"));
        contents = dir.read("whole.zip");
        contents.truncate(contents.size() / 2);
    }
    dir.file("bad.zip", contents);
    dir.dir("dest");
    QCOMPARE(thrownCode([&] { fs.unzip(dir.url("bad.zip"), dir.url("dest")); }), FileError::ReadCorruptFile);
    QCOMPARE(dir.entries("dest"), QStringList{});
}

void TestArchives::craftedArchives_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    const Entry harmless{"fine.txt", AE_IFREG, 0644, "ok", {}};
    QTest::newRow("parent folder") << QList<Entry>{harmless, {"../evil", AE_IFREG, 0644, "x", {}}};
    QTest::newRow("parent inside a path") << QList<Entry>{{"a/../../evil", AE_IFREG, 0644, "x", {}}};
    QTest::newRow("absolute name") << QList<Entry>{{"ABSOLUTE/evil", AE_IFREG, 0644, "x", {}}};
    QTest::newRow("link outside, then a file through it")
        << QList<Entry>{{"ln", AE_IFLNK, 0777, {}, "../outside"},
                        {"ln/evil", AE_IFREG, 0644, "x", {}}};
    QTest::newRow("absolute link") << QList<Entry>{{"ln", AE_IFLNK, 0777, {}, "ABSOLUTE"}};
    QTest::newRow("link climbing too far") << QList<Entry>{{"a/b/ln", AE_IFLNK, 0777, {}, "../../../x"}};
    QTest::newRow("link through a link inside")
        << QList<Entry>{{"d/s", AE_IFLNK, 0777, {}, ".."}, {"t", AE_IFLNK, 0777, {}, "d/s/../../x"}};
    QTest::newRow("file written through a link inside")
        << QList<Entry>{{"real/", AE_IFDIR, 0755, {}, {}}, {"ln", AE_IFLNK, 0777, {}, "real"},
                        {"ln/file", AE_IFREG, 0644, "x", {}}};
}

// "ABSOLUTE" in a name or target stands for the folder beside the destination.
void TestArchives::craftedArchives()
{
    QFETCH(QList<Entry>, entries);
    TestDir dir;
    dir.file("outside/victim", "untouched");
    for (Entry &e : entries) {
        e.name.replace("ABSOLUTE", QFile::encodeName(dir.path("outside")));
        e.target.replace("ABSOLUTE", QFile::encodeName(dir.path("outside")));
    }
    writeZip(dir.path("crafted.zip"), entries);
    dir.dir("dest/deeper");
    QCOMPARE(thrownCode([&] { fs.unzip(dir.url("crafted.zip"), dir.url("dest/deeper")); }), FileError::ReadCorruptFile);
    QCOMPARE(dir.entries("outside"), QStringList{"victim"});
    QCOMPARE(dir.read("outside/victim"), QByteArray("untouched"));
    QCOMPARE(dir.entries("dest"), QStringList{"deeper"});
    QCOMPARE(dir.entries("dest/deeper"), QStringList{});
    QCOMPARE(dir.entries(), (QStringList{"crafted.zip", "dest", "outside"}));
}

void TestArchives::setIdBitsDropped()
{
    TestDir dir;
    writeZip(dir.path("a.zip"), {{"tool", AE_IFREG, 06755, "#!/bin/sh\n", {}},
                                 {"dir/", AE_IFDIR, 01777, {}, {}},
                                 {"dir/l", AE_IFLNK, 0777, {}, "../tool"}});
    dir.dir("dest");
    fs.unzip(dir.url("a.zip"), dir.url("dest"));
    QCOMPARE(modeOf(dir.path("dest/tool")), mode_t(0755));
    QCOMPARE(modeOf(dir.path("dest/dir")), mode_t(0777));
    QCOMPARE(dir.read("dest/dir/l"), QByteArray("#!/bin/sh\n"));
}

void TestArchives::readOnlyFoldersByAnOrdinaryUser()
{
    TestDir dir;
    dir.openToOthers();
    writeZip(dir.path("a.zip"), {{"locked/", AE_IFDIR, 0555, {}, {}}, {"locked/inner/", AE_IFDIR, 0500, {}, {}},
                                 {"locked/inner/f", AE_IFREG, 0444, "data", {}}});
    ::chmod(QFile::encodeName(dir.path("a.zip")).constData(), 0644);
    ::chmod(QFile::encodeName(dir.dir("dest")).constData(), 0777);
    {
        AsUnprivileged unprivileged;
        fs.unzip(dir.url("a.zip"), dir.url("dest"));
        QCOMPARE(dir.read("dest/locked/inner/f"), QByteArray("data"));
    }
    QCOMPARE(dir.entries("dest"), QStringList{"locked"});
    QCOMPARE(modeOf(dir.path("dest/locked")), mode_t(0555));
    QCOMPARE(modeOf(dir.path("dest/locked/inner")), mode_t(0500));
}

QTEST_GUILESS_MAIN(TestArchives)
#include "tst_archives.moc"
