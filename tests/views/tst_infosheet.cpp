// The information dialog over real items: the rows of a file, a name without extension, a missing
// item, a folder whose size arrives after "Calculating…", an item removed while the dialog is
// open, and a folder walk that ends with the dialog.

#include "diskfacts.h"
#include "infosheet.h"
#include "iteminfomodel.h"
#include "localization.h"
#include "testdir.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using Rows = QList<std::pair<QString, QString>>;

class TestInfoSheet : public QObject
{
    Q_OBJECT

    const Localization &loc = Localization::english();

    static QString value(const InfoSheet &sheet, const QString &label)
    {
        for (const auto &[shownLabel, shownValue] : sheet.shownRows()) {
            if (shownLabel == label)
                return shownValue;
        }
        return QStringLiteral("<none>");
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void fileRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sizeText");
        QTest::addColumn<QString>("permissions");
        QTest::newRow("pdf") << "report.pdf" << 1234567 << 0644 << "PDF" << "1.2 MB" << "644";
        QTest::newRow("no extension, one byte") << "Makefile" << 1 << 0755 << "—" << "1 byte" << "755";
        QTest::newRow("hidden, no extension") << ".profile" << 0 << 0600 << "—" << "0 bytes" << "600";
        QTest::newRow("missing: the title alone") << "never-there" << -1 << 0 << "<none>" << "<none>" << "<none>";
    }
    void fileRows()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(int, mode);
        TestDir dir;
        if (size >= 0) {
            dir.file(name, QByteArray(size, '%'));
            setMode(dir.path(name), mode);
        }
        InfoSheet sheet(dir.url(name));
        sheet.setTexts(loc);
        sheet.show();
        QTRY_VERIFY(sheet.model()->isExamined());
        QCOMPARE(sheet.title(), name);
        QCOMPARE(sheet.shownRows().value(0).first, size >= 0 ? loc.infoKind : QString());
        QTEST(value(sheet, loc.infoKind), "kind");
        QTEST(value(sheet, loc.infoSize), "sizeText");
        QTEST(value(sheet, loc.infoPermissions), "permissions");
        QCOMPARE(value(sheet, loc.infoModified).contains(QString::number(QDate::currentDate().year())), size >= 0);
    }

    void folderShowsCalculatingThenItsSize()
    {
        TestDir dir;
        dir.file(QStringLiteral("f/a"), QByteArray(1000, 'a'));
        dir.file(QStringLiteral("f/sub/b"), QByteArray(500, 'b'));
        InfoSheet sheet(dir.url(QStringLiteral("f")));
        sheet.setTexts(loc);
        QString firstSize;
        connect(sheet.model(), &ItemInfoModel::infoChanged, this, [&] { firstSize = value(sheet, loc.infoSize); });
        sheet.show();
        QTRY_VERIFY(!firstSize.isEmpty());
        QCOMPARE(firstSize, loc.calculating);
        QCOMPARE(value(sheet, loc.infoKind), loc.infoFolder);
        QTRY_COMPARE(value(sheet, loc.infoSize), QStringLiteral("1.5 kB"));
    }

    void removedItemLeavesOnlyTheTitle()
    {
        TestDir dir;
        dir.file(QStringLiteral("gone.txt"), "x");
        InfoSheet sheet(dir.url(QStringLiteral("gone.txt")));
        sheet.setTexts(loc);
        sheet.show();
        QTRY_VERIFY(!sheet.shownRows().isEmpty());
        QVERIFY(QFile::remove(dir.path(QStringLiteral("gone.txt"))));
        QTRY_VERIFY(sheet.shownRows().isEmpty());
        QCOMPARE(sheet.title(), QStringLiteral("gone.txt"));
        QVERIFY(sheet.closeButton()->isVisible());
    }

    // Escape closes; a folder walk still running then ends and its size never arrives.
    void escapeClosesAndEndsTheWalk()
    {
        TestDir dir;
        for (int i = 0; i < 2000; ++i)
            dir.file(QStringLiteral("big/%1/%2").arg(i % 40).arg(i));
        InfoSheet sheet(dir.url(QStringLiteral("big")));
        sheet.setTexts(loc);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QSignalSpy closed(&sheet, &QDialog::finished);
        QTRY_VERIFY(sheet.model()->isExamined());
        QTest::keyClick(&sheet, Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!sheet.isVisible());
        QVERIFY(!sheet.model()->isWalking());
        QSignalSpy sized(sheet.model(), &ItemInfoModel::folderSizeChanged);
        QVERIFY(!sized.wait(300));
    }
};

QTEST_MAIN(TestInfoSheet)
#include "tst_infosheet.moc"
