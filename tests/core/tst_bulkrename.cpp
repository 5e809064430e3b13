// Bulk rename on disk: swaps and rotations, plans that change nothing, failures that must put
// every item back, and names that would leave the folder.

#include "bulkrenamer.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "posixfs.h"
#include "testdir.h"

#include <QTest>

#include <cerrno>

namespace {

// Lays out files named after their contents ("a.txt" holds "a.txt"), so a test can tell
// afterwards which item ended under which name.
void makeItems(const TestDir &dir, const QStringList &names)
{
    for (const QString &name : names)
        dir.file(name, name.toUtf8());
}

QStringList leftovers(const TestDir &dir, const QString &folder = {})
{
    return dir.entries(folder).filter(QString::fromLatin1(BulkRenamer::temporaryPrefix));
}

} // namespace

class TestBulkRename : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plans_data();
    void plans();
    void twoFolders();
    void failureRestoresOldNames_data();
    void failureRestoresOldNames();
    void failedRestoreNamesWhatIsLeft();
    void unsafeNames_data();
    void unsafeNames();

private:
    FileSystemService fs;
};

void TestBulkRename::plans_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("from");
    QTest::addColumn<QStringList>("to");
    // Each expected name, and the original item it must now hold.
    QTest::addColumn<QStringList>("expectedNames");
    QTest::addColumn<QStringList>("expectedContents");

    QTest::newRow("swap") << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"}
                          << QStringList{"b.txt", "a.txt"} << QStringList{"a.txt", "b.txt"}
                          << QStringList{"b.txt", "a.txt"};
    QTest::newRow("rotation") << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"} << QStringList{"b", "c", "a"}
                              << QStringList{"a", "b", "c"} << QStringList{"c", "a", "b"};
    QTest::newRow("shift onto a name the plan frees") << QStringList{"1", "2", "3"} << QStringList{"1", "2", "3"}
                                                      << QStringList{"2", "3", "4"} << QStringList{"2", "3", "4"}
                                                      << QStringList{"1", "2", "3"};
    QTest::newRow("unchanged and empty names are left alone")
        << QStringList{"a", "b"} << QStringList{"a", "b"} << QStringList{"a", ""} << QStringList{"a", "b"}
        << QStringList{"a", "b"};
    QTest::newRow("only case differs") << QStringList{"readme"} << QStringList{"readme"} << QStringList{"README"}
                                       << QStringList{"README"} << QStringList{"readme"};
    QTest::newRow("non-ASCII and spaces") << QStringList{"a b.txt"} << QStringList{"a b.txt"}
                                          << QStringList{"日本 ü.txt"} << QStringList{"日本 ü.txt"}
                                          << QStringList{"a b.txt"};
}

void TestBulkRename::plans()
{
    QFETCH(QStringList, items);
    QFETCH(QStringList, from);
    QFETCH(QStringList, to);
    QFETCH(QStringList, expectedNames);
    QFETCH(QStringList, expectedContents);
    TestDir dir;
    makeItems(dir, items);
    QList<RenamePair> pairs;
    for (qsizetype i = 0; i < from.size(); ++i)
        pairs.append({dir.url(from[i]), to[i]});

    fs.applyBulkRename(pairs);

    QStringList sortedNames = expectedNames;
    sortedNames.sort();
    QCOMPARE(dir.entries(), sortedNames);
    for (qsizetype i = 0; i < expectedNames.size(); ++i)
        QCOMPARE(dir.read(expectedNames[i]), expectedContents[i].toUtf8());
}

void TestBulkRename::twoFolders()
{
    TestDir dir;
    makeItems(dir, {"one/x", "two/x"});
    fs.applyBulkRename({{dir.url("one/x"), "y"}, {dir.url("two/x"), "z"}});
    QCOMPARE(dir.entries("one"), QStringList{"y"});
    QCOMPARE(dir.entries("two"), QStringList{"z"});
    QCOMPARE(dir.read("two/z"), QByteArray("two/x"));
}

void TestBulkRename::failureRestoresOldNames_data()
{
    QTest::addColumn<QStringList>("from");
    QTest::addColumn<QStringList>("to");
    QTest::addColumn<int>("code");

    // "taken.txt" lies in the folder but is not part of any plan.
    QTest::newRow("name held outside the plan, last") << QStringList{"a", "b", "c"}
                                                      << QStringList{"b", "c", "taken.txt"} << EEXIST;
    QTest::newRow("name held outside the plan, first") << QStringList{"a", "b", "c"}
                                                       << QStringList{"taken.txt", "a", "b"} << EEXIST;
    QTest::newRow("same new name twice") << QStringList{"a", "b"} << QStringList{"n", "n"} << EEXIST;
    QTest::newRow("item vanished before the run") << QStringList{"a", "gone", "c"} << QStringList{"c", "x", "a"}
                                                  << ENOENT;
}

void TestBulkRename::failureRestoresOldNames()
{
    QFETCH(QStringList, from);
    QFETCH(QStringList, to);
    QFETCH(int, code);
    TestDir dir;
    makeItems(dir, {"a", "b", "c", "taken.txt"});
    QList<RenamePair> pairs;
    for (qsizetype i = 0; i < from.size(); ++i)
        pairs.append({dir.url(from[i]), to[i]});

    try {
        fs.applyBulkRename(pairs);
        QFAIL("the rename should have failed");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), code);
        QVERIFY(error.detail().isEmpty());
    }
    QCOMPARE(dir.entries(), (QStringList{"a", "b", "c", "taken.txt"}));
    for (const char *name : {"a", "b", "c", "taken.txt"})
        QCOMPARE(dir.read(name), QByteArray(name));
}

void TestBulkRename::failedRestoreNamesWhatIsLeft()
{
    TestDir dir;
    makeItems(dir, {"a", "b", "c"});
    // Phase two fails on "c", and the way back for "a" (its first move) fails as well.
    int moves = 0;
    const BulkRenamer::Mover failing = [&](const QString &from, const QString &to, const QString &errorPath) {
        ++moves;
        if (to.endsWith("/z") || (moves > 6 && to.endsWith("/a")))
            throw FileError::fromErrno(FileError::Operation::Rename, EIO, errorPath);
        PosixFs::renameNoReplace(from, to, FileError::Operation::Rename, errorPath);
    };
    try {
        BulkRenamer::apply({{dir.url("a"), "x"}, {dir.url("b"), "y"}, {dir.url("c"), "z"}}, failing);
        QFAIL("the rename should have failed");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), EIO);
        QCOMPARE(error.path(), dir.path("c"));
        const QStringList hidden = leftovers(dir);
        QCOMPARE(hidden.size(), 1);
        QVERIFY2(error.detail().contains(dir.path(hidden.first())), qPrintable(error.detail()));
        QVERIFY(error.detail().contains(dir.path("a")));
        QVERIFY(error.message().contains(hidden.first()));
        QCOMPARE(dir.read(hidden.first()), QByteArray("a"));
    }
    QCOMPARE(dir.read("b"), QByteArray("b"));
    QCOMPARE(dir.read("c"), QByteArray("c"));
}

void TestBulkRename::unsafeNames_data()
{
    QTest::addColumn<QString>("newName");
    QTest::newRow("slash") << "../escaped";
    QTest::newRow("into a subfolder") << "sub/x";
    QTest::newRow("dot") << ".";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("NUL") << QString("a") + QChar(u'\0') + "b";
}

void TestBulkRename::unsafeNames()
{
    QFETCH(QString, newName);
    TestDir dir;
    makeItems(dir, {"folder/a", "folder/b"});
    dir.dir("folder/sub");
    // The good pair comes first: nothing may move before the bad one is seen.
    QVERIFY_THROWS_EXCEPTION(FileError,
                             fs.applyBulkRename({{dir.url("folder/a"), "fine"}, {dir.url("folder/b"), newName}}));
    QCOMPARE(dir.entries("folder"), (QStringList{"a", "b", "sub"}));
    QCOMPARE(dir.entries("folder/sub"), QStringList{});
    QCOMPARE(dir.entries(), QStringList{"folder"});
}

QTEST_GUILESS_MAIN(TestBulkRename)
#include "tst_bulkrename.moc"
