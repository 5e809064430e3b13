// The information dialog's data: kind, size and permissions of real items, and the folder size
// walked in the background.

#include "diskfacts.h"
#include "iteminfomodel.h"
#include "localization.h"
#include "testdir.h"

#include <QSignalSpy>
#include <QTest>

class TestItemInfoModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void fileRows_data();
    void fileRows();
    void folderSizeArrivesAfterCalculating();

private:
    const Localization &loc = Localization::english();
};

void TestItemInfoModel::fileRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("permissions");
    QTest::newRow("pdf") << "report.pdf" << 1234567 << 0644 << "PDF" << "1.2 MB" << "644";
    QTest::newRow("unknown extension") << "data.qqzz" << 0 << 0755 << "QQZZ" << "0 bytes" << "755";
    QTest::newRow("no extension, nothing known") << "notes" << 10 << 0600 << "—" << "10 bytes" << "600";
}

void TestItemInfoModel::fileRows()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, mode);
    TestDir dir;
    dir.file(name, QByteArray(size, '%')); // not text a content sniffer would recognise
    setMode(dir.path(name), mode_t(mode));
    ItemInfoModel model(dir.url(name));
    QTRY_VERIFY(model.isExamined());
    const QList<ItemInfoModel::Row> rows = model.rows(loc);
    QVERIFY(rows.size() >= 4 && rows.last().label == loc.infoPermissions); // birth times may be missing
    QTEST(rows[0].value, "kind");
    QTEST(rows[1].value, "sizeText");
    QTEST(rows.last().value, "permissions");
}

void TestItemInfoModel::folderSizeArrivesAfterCalculating()
{
    TestDir dir;
    dir.file("f/a", QByteArray(1000, 'a'));
    dir.file("f/sub/b", QByteArray(500, 'b'));
    ItemInfoModel model(dir.url("f"));
    QSignalSpy examined(&model, &ItemInfoModel::infoChanged);
    QVERIFY(examined.wait());
    QCOMPARE(model.rows(loc).at(0).value, loc.infoFolder);
    QCOMPARE(model.rows(loc).at(1).value, loc.calculating);
    QTRY_COMPARE(model.folderSize(), 1500);
    QCOMPARE(model.rows(loc).at(1).value, "1.5 kB");

    // Closed before the walk ends: its result never arrives.
    ItemInfoModel closed(dir.url("f"));
    QSignalSpy never(&closed, &ItemInfoModel::folderSizeChanged);
    closed.stop();
    QTRY_VERIFY(closed.isExamined());
    QVERIFY(!never.wait(200));
    QCOMPARE(closed.rows(loc).at(1).value, loc.calculating);
}

QTEST_GUILESS_MAIN(TestItemInfoModel)
#include "tst_iteminfomodel.moc"
