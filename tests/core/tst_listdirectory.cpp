// Listing a folder: order, hidden entries, links, failures and odd names.

#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList namesOf(const QList<FileItem> &items)
{
    QStringList names;
    for (const FileItem &item : items)
        names << item.name;
    return names;
}

const FileItem *find(const QList<FileItem> &items, const QString &name)
{
    for (const FileItem &item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

} // namespace

class TestListDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void order_data();
    void order();
    void hiddenEntries();
    void recordFields();
    void symbolicLinks();
    void folderThatIsALink();
    void failures_data();
    void failures();
    void unreadableFolder();
    void nameNotValidUtf8();
    void equalityAndIdentity();

private:
    FileSystemService fs;
};

void TestListDirectory::order_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("folders before files") << QStringList{"aaa"} << QStringList{"zzz"} << QStringList{"zzz", "aaa"};
    QTest::newRow("numbers by value") << QStringList{"file10", "file2", "file1"} << QStringList{}
                                      << QStringList{"file1", "file2", "file10"};
    QTest::newRow("case does not decide first") << QStringList{"Banana", "apple", "Cherry"} << QStringList{}
                                                << QStringList{"apple", "Banana", "Cherry"};
    QTest::newRow("both groups sorted") << QStringList{"b.txt", "A.txt"} << QStringList{"Zeta", "alpha", "dir10", "dir9"}
                                        << QStringList{"alpha", "dir9", "dir10", "Zeta", "A.txt", "b.txt"};
    QTest::newRow("accents next to their letter") << QStringList{"eclair", "zebra", "éclair2"} << QStringList{}
                                                  << QStringList{"eclair", "éclair2", "zebra"};
    QTest::newRow("empty folder") << QStringList{} << QStringList{} << QStringList{};
}

void TestListDirectory::order()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, expected);
    TestDir dir;
    for (const QString &name : files)
        dir.file(name);
    for (const QString &name : folders)
        dir.dir(name);
    QCOMPARE(namesOf(fs.listDirectory(dir.url(), false)), expected);
}

void TestListDirectory::hiddenEntries()
{
    TestDir dir;
    dir.file(".settings");
    dir.dir(".git");
    dir.file("b");
    dir.dir("a");
    QCOMPARE(namesOf(fs.listDirectory(dir.url(), false)), (QStringList{"a", "b"}));
    QCOMPARE(namesOf(fs.listDirectory(dir.url(), true)), (QStringList{".git", "a", ".settings", "b"}));
}

void TestListDirectory::recordFields()
{
    TestDir dir;
    dir.file("ten.bin", QByteArray(10, 'x'));
    dir.dir("sub");
    dir.file("sub/inner", QByteArray(100, 'x'));
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    {
        QFile f(dir.path("ten.bin"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    const QList<FileItem> items = fs.listDirectory(dir.url(), false);
    QCOMPARE(items.size(), 2);
    const FileItem *file = find(items, "ten.bin");
    QVERIFY(file);
    QCOMPARE(file->size, 10);
    QCOMPARE(file->modificationDate, when);
    QCOMPARE(file->url, dir.url("ten.bin"));
    QVERIFY(!file->isDirectory);
    QVERIFY(!file->isSymbolicLink);
    QCOMPARE(file->directorySortRank(), 1);
    const FileItem *folder = find(items, "sub");
    QCOMPARE(folder->size, 0);
    QVERIFY(folder->isDirectory);
    QCOMPARE(folder->directorySortRank(), 0);
}

void TestListDirectory::symbolicLinks()
{
    TestDir dir;
    dir.dir("target-folder");
    dir.file("target-file", "abc");
    dir.link(dir.path("target-folder"), "link-to-folder");
    dir.link("target-file", "link-to-file");
    dir.link("nowhere", "dangling");
    const QList<FileItem> items = fs.listDirectory(dir.url(), false);
    QCOMPARE(namesOf(items), (QStringList{"link-to-folder", "target-folder", "dangling", "link-to-file", "target-file"}));

    const FileItem *toFolder = find(items, "link-to-folder");
    QVERIFY(toFolder->isDirectory);
    QVERIFY(toFolder->isSymbolicLink);
    QCOMPARE(toFolder->url, dir.url("link-to-folder")); // not resolved
    const FileItem *toFile = find(items, "link-to-file");
    QVERIFY(!toFile->isDirectory);
    QVERIFY(toFile->isSymbolicLink);
    const FileItem *dangling = find(items, "dangling");
    QVERIFY(!dangling->isDirectory);
    QVERIFY(dangling->isSymbolicLink);
}

void TestListDirectory::folderThatIsALink()
{
    TestDir dir;
    dir.file("real/inside.txt");
    dir.link(dir.path("real"), "alias");
    const QList<FileItem> items = fs.listDirectory(dir.url("alias"), false);
    QCOMPARE(items.size(), 1);
    // Entries of a folder reached through a link lie under the link's resolved target.
    const QString resolvedParent = QFileInfo(dir.path("real")).canonicalFilePath();
    QCOMPARE(items[0].url, QUrl::fromLocalFile(resolvedParent + "/inside.txt"));
}

void TestListDirectory::failures_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("errnoValue");
    QTest::newRow("missing folder") << "missing" << ENOENT;
    QTest::newRow("a file, not a folder") << "plain.txt" << ENOTDIR;
}

void TestListDirectory::failures()
{
    QFETCH(QString, relative);
    QFETCH(int, errnoValue);
    TestDir dir;
    dir.file("plain.txt");
    try {
        fs.listDirectory(dir.url(relative), true);
        QFAIL("listing should have failed");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), errnoValue);
        QCOMPARE(error.path(), dir.path(relative));
        QVERIFY2(error.message().contains(relative), qPrintable(error.message()));
    }
}

void TestListDirectory::unreadableFolder()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("locked/secret");
    QVERIFY(::chmod(QFile::encodeName(dir.path("locked")).constData(), 0) == 0);
    AsUnprivileged unprivileged;
    QVERIFY_THROWS_EXCEPTION(FileError, fs.listDirectory(dir.url("locked"), false));
}

void TestListDirectory::nameNotValidUtf8()
{
    TestDir dir;
    const QByteArray bad = QFile::encodeName(dir.path()) + "/bad-\xff\xfe-name";
    const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    dir.file("good");
    const QList<FileItem> items = fs.listDirectory(dir.url(), false);
    QCOMPARE(items.size(), 2);
    const QStringList names = namesOf(items);
    QVERIFY(names.contains("good"));
    const QString other = names[names.indexOf("good") == 0 ? 1 : 0];
    QVERIFY(other.startsWith("bad-"));
    QVERIFY(other.contains(QChar::ReplacementCharacter));
}

void TestListDirectory::equalityAndIdentity()
{
    const QUrl url = QUrl::fromLocalFile("/tmp/a");
    const QDateTime epoch = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    const FileItem small(url, "a", false, 1, epoch, false);
    const FileItem large(url, "a", false, 2, epoch, false);
    QVERIFY(small != large);
    QCOMPARE(small.id(), large.id());
    QCOMPARE(small, FileItem(url, "a", false, 1, epoch, false));
}

QTEST_GUILESS_MAIN(TestListDirectory)
#include "tst_listdirectory.moc"
