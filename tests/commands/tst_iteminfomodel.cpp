// The information dialog's data: the folder size walked in the background, and a walk stopped
// before it starts. (The rows of files are checked through the dialog itself.)

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
    void folderSizeArrivesAfterCalculating();

private:
    const Localization &loc = Localization::english();
};

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
