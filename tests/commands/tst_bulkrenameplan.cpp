// Bulk rename planning: find and replace, numbering with padding and extensions.

#include "bulkrename.h"

#include <QTest>

namespace {

QList<FileItem> itemsNamed(const QStringList &names, bool folders = false)
{
    QList<FileItem> items;
    for (const QString &name : names)
        items.append(FileItem(FilePath::fromString("/work/" + name), name, folders, 0, {}, false));
    return items;
}

QStringList newNames(const QList<RenameEntry> &entries)
{
    QStringList names;
    for (const RenameEntry &entry : entries)
        names << entry.newName;
    return names;
}

} // namespace

class TestBulkRenamePlan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plans_data();
    void plans();
};

void TestBulkRenamePlan::plans_data()
{
    using L = QStringList;
    QTest::addColumn<L>("names");
    QTest::addColumn<BulkRename::Mode>("mode");
    QTest::addColumn<L>("expected");

    using M = BulkRename::Mode;
    QTest::newRow("replace every occurrence, case matters")
        << L{"IMG_IMG.jpg", "img_1.jpg"} << M::findReplace("IMG", "Photo") << L{"Photo_Photo.jpg", "img_1.jpg"};
    QTest::newRow("extension not protected") << L{"a.b.c"} << M::findReplace(".", "") << L{"abc"};
    QTest::newRow("empty find changes nothing") << L{"a", "b.txt"} << M::findReplace("", "x") << L{"a", "b.txt"};
    QTest::newRow("sequence keeps each extension and its case")
        << L{"IMG_7.JPG", "notes.txt", "README"} << M::sequence("Photo", 1, 3)
        << L{"Photo 001.JPG", "Photo 002.txt", "Photo 003"};
    QTest::newRow("empty base changes nothing") << L{"a.txt", "b"} << M::sequence("", 1, 2) << L{"a.txt", "b"};
    QTest::newRow("padding never cuts") << L{"a", "b"} << M::sequence("n", 99, 2) << L{"n 99", "n 100"};
    QTest::newRow("padding 1 counts past nine") << L{"a", "b", "c"} << M::sequence("x", 9, 1) << L{"x 9", "x 10", "x 11"};
    QTest::newRow("hidden file has no extension") << L{".profile"} << M::sequence("x", 1, 2) << L{"x 01"};
    QTest::newRow("folder a.b keeps .b") << L{"a.b"} << M::sequence("P", 1, 3) << L{"P 001.b"};
    QTest::newRow("non-ASCII base") << L{"写真.png"} << M::sequence("旅行", 5, 2) << L{"旅行 05.png"};
}

void TestBulkRenamePlan::plans()
{
    QFETCH(QStringList, names);
    QFETCH(BulkRename::Mode, mode);
    QFETCH(QStringList, expected);
    QCOMPARE(newNames(BulkRename::plan(itemsNamed(names), mode)), expected);
}

QTEST_GUILESS_MAIN(TestBulkRenamePlan)
#include "tst_bulkrenameplan.moc"
