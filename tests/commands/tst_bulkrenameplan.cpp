// Bulk rename planning: find and replace, numbering with padding and extensions, and which
// planned entries count as changes.

#include "bulkrename.h"

#include <QTest>

namespace {

QList<FileItem> itemsNamed(const QStringList &names, bool folders = false)
{
    QList<FileItem> items;
    for (const QString &name : names)
        items.append(FileItem(QUrl::fromLocalFile("/work/" + name), name, folders, 0, {}, false));
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
    void sequenceReachesMoreDigitsThanPadding();
    void entriesKeepUrlsAndOldNames();
    void changesDropUnchangedAndEmptyNames();
    void extensions_data();
    void extensions();
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
    QTest::newRow("find equal to replace") << L{"abc"} << M::findReplace("b", "b") << L{"abc"};
    QTest::newRow("replacement containing the find text")
        << L{"aa"} << M::findReplace("a", "aa") << L{"aaaa"};
    QTest::newRow("sequence keeps each extension and its case")
        << L{"IMG_7.JPG", "notes.txt", "README"} << M::sequence("Photo", 1, 3)
        << L{"Photo 001.JPG", "Photo 002.txt", "Photo 003"};
    QTest::newRow("empty base changes nothing") << L{"a.txt", "b"} << M::sequence("", 1, 2) << L{"a.txt", "b"};
    QTest::newRow("padding 1 counts past nine") << L{"a", "b", "c"} << M::sequence("x", 9, 1) << L{"x 9", "x 10", "x 11"};
    QTest::newRow("padding 0 and below means one digit") << L{"a", "b"} << M::sequence("x", 0, 0) << L{"x 0", "x 1"};
    QTest::newRow("hidden file has no extension") << L{".profile"} << M::sequence("x", 1, 2) << L{"x 01"};
    QTest::newRow("trailing dot is no extension") << L{"name."} << M::sequence("x", 1, 2) << L{"x 01"};
    QTest::newRow("non-ASCII base") << L{"写真.png"} << M::sequence("旅行", 5, 2) << L{"旅行 05.png"};
}

void TestBulkRenamePlan::plans()
{
    QFETCH(QStringList, names);
    QFETCH(BulkRename::Mode, mode);
    QFETCH(QStringList, expected);
    QCOMPARE(newNames(BulkRename::plan(itemsNamed(names), mode)), expected);
}

void TestBulkRenamePlan::sequenceReachesMoreDigitsThanPadding()
{
    QStringList names;
    for (int i = 0; i < 100; ++i)
        names << QString::number(i);
    const QStringList planned = newNames(BulkRename::plan(itemsNamed(names), BulkRename::Mode::sequence("n", 1, 2)));
    QCOMPARE(planned.first(), "n 01");
    QCOMPARE(planned.at(8), "n 09");
    QCOMPARE(planned.at(98), "n 99");
    QCOMPARE(planned.last(), "n 100");
}

void TestBulkRenamePlan::entriesKeepUrlsAndOldNames()
{
    // A folder's name is numbered the same way: its "extension" is whatever follows the last dot.
    const QList<FileItem> items = itemsNamed({"a.b", "c"}, true);
    const QList<RenameEntry> entries = BulkRename::plan(items, BulkRename::Mode::sequence("P", 1, 3));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0], (RenameEntry{items[0].url, "a.b", "P 001.b"}));
    QCOMPARE(entries[1], (RenameEntry{items[1].url, "c", "P 002"}));
}

void TestBulkRenamePlan::changesDropUnchangedAndEmptyNames()
{
    const QList<FileItem> items = itemsNamed({"keep", "x", "axb"});
    const QList<RenamePair> pairs = BulkRename::changes(BulkRename::plan(items, BulkRename::Mode::findReplace("x", "")));
    // "keep" is unchanged and "x" would get an empty name: only "axb" is renamed.
    QCOMPARE(pairs, (QList<RenamePair>{{items[2].url, "ab"}}));
    QVERIFY(BulkRename::changes(BulkRename::plan(items, BulkRename::Mode::findReplace("", ""))).isEmpty());
}

void TestBulkRenamePlan::extensions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("stem");
    QTest::newRow("plain") << "report.pdf" << "pdf" << "report";
    QTest::newRow("last dot only") << "a.b.c" << "c" << "a.b";
    QTest::newRow("none") << "photos" << "" << "photos";
    QTest::newRow("hidden") << ".bashrc" << "" << ".bashrc";
    QTest::newRow("hidden with extension") << ".config.json" << "json" << ".config";
    QTest::newRow("trailing dot") << "a." << "" << "a.";
}

void TestBulkRenamePlan::extensions()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QFETCH(QString, stem);
    QCOMPARE(BulkRename::pathExtension(name), extension);
    QCOMPARE(BulkRename::deletingPathExtension(name), stem);
}

QTEST_GUILESS_MAIN(TestBulkRenamePlan)
#include "tst_bulkrenameplan.moc"
