// The bulk rename dialog driven as a user would: typing into its fields, switching the rule,
// and the preview and Apply button that follow; what Apply, Return, Cancel and Escape hand on.

#include "bulkrenamesheet.h"
#include "itemlists.h"
#include "localization.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

using Names = QStringList;

class TestBulkRenameSheet : public QObject
{
    Q_OBJECT

    static Names previewRows(const BulkRenameSheet &sheet)
    {
        Names rows;
        const QAbstractItemModel *model = sheet.previewList()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows.append(model->index(row, 0).data().toString());
        return rows;
    }

private Q_SLOTS:
    void previewAndApplyFollowTheFields_data()
    {
        QTest::addColumn<Names>("names");
        QTest::addColumn<bool>("sequence");
        QTest::addColumn<QString>("first");  // find, or base
        QTest::addColumn<QString>("second"); // replace; ignored for a sequence
        QTest::addColumn<Names>("expected");
        QTest::addColumn<bool>("canApply");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("padding");
        const auto row = [](const char *name, const Names &names, bool sequence, const char *first, const char *second,
                            const Names &expected, bool canApply, int start = 1, int padding = 2) {
            QTest::newRow(name) << names << sequence << QString(first) << QString(second) << expected << canApply << start << padding;
        };
        const Names img{"IMG_IMG.jpg", "img_1.jpg"}, same{"IMG_IMG.jpg → IMG_IMG.jpg", "img_1.jpg → img_1.jpg"};
        row("replace, case matters", img, false, "IMG", "Photo", {"IMG_IMG.jpg → Photo_Photo.jpg", "img_1.jpg → img_1.jpg"}, true);
        row("dot removed, extension too", {"a.b.c"}, false, ".", "", {"a.b.c → abc"}, true);
        row("empty find changes nothing", img, false, "", "x", same, false);
        row("find equals replace", img, false, "IMG", "IMG", same, false);
        row("replace by nothing empties a name", {"abc"}, false, "abc", "", {"abc → "}, false);
        row("sequence keeps extensions", {"IMG_7.JPG", "notes.txt", "README"}, true, "Photo", "",
            {"IMG_7.JPG → Photo 001.JPG", "notes.txt → Photo 002.txt", "README → Photo 003"}, true, 1, 3);
        row("sequence grows past its padding, never cut", {"a", "b", "c"}, true, "x", "",
            {"a → x 9", "b → x 10", "c → x 11"}, true, 9, 1);
        row("a dot-file has no extension", {".profile", "a.b"}, true, "x", "", {".profile → x 01", "a.b → x 02.b"}, true);
        row("sequence without base", {"a", "b"}, true, "", "", {"a → a", "b → b"}, false);
    }
    void previewAndApplyFollowTheFields()
    {
        QFETCH(Names, names);
        QFETCH(bool, sequence);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, start);
        QFETCH(int, padding);
        BulkRenameSheet sheet(itemsNamed(names));
        sheet.setTexts(Localization::english());
        sheet.show();
        QVERIFY(QTest::qWaitForWindowActive(&sheet));
        if (sequence) {
            QTest::mouseClick(sheet.sequenceSegment(), Qt::LeftButton);
            QTest::keyClicks(QApplication::focusWidget(), first); // the rule's first field has the keyboard
            sheet.startBox()->setValue(start);
            sheet.paddingBox()->setValue(padding);
        } else {
            QTest::keyClicks(sheet.findField(), first);
            QTest::keyClicks(sheet.replaceField(), second);
        }
        QTEST(previewRows(sheet), "expected");
        QTEST(sheet.applyButton()->isEnabled(), "canApply");
    }

    // Return in a field applies the changing entries only; Escape and Cancel close and apply nothing.
    void closingKeysAndButtons_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("applied");
        QTest::newRow("Return") << "return" << 1;
        QTest::newRow("Apply clicked") << "apply" << 1;
        QTest::newRow("Escape") << "escape" << 0;
        QTest::newRow("Cancel clicked") << "cancel" << 0;
    }
    void closingKeysAndButtons()
    {
        QFETCH(QString, how);
        BulkRenameSheet sheet(itemsNamed({"IMG_1.jpg", "other.jpg", "IMG_2.jpg"}));
        sheet.show();
        QSignalSpy applied(&sheet, &BulkRenameSheet::applied);
        QSignalSpy closed(&sheet, &QDialog::finished);
        QVERIFY(QTest::qWaitForWindowActive(&sheet));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("IMG_")); // typed as the sheet opens
        if (how == QLatin1String("return"))
            QTest::keyClick(sheet.findField(), Qt::Key_Return);
        else if (how == QLatin1String("apply"))
            QTest::mouseClick(sheet.applyButton(), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(sheet.findField(), Qt::Key_Escape);
        else
            QTest::mouseClick(sheet.cancelButton(), Qt::LeftButton);
        QTEST(int(applied.count()), "applied");
        QCOMPARE(closed.count(), 1);
        QVERIFY(!sheet.isVisible());
        if (!applied.isEmpty()) {
            const QList<RenamePair> expected{{FilePath::fromString(QStringLiteral("/d/IMG_1.jpg")), QStringLiteral("1.jpg")},
                                             {FilePath::fromString(QStringLiteral("/d/IMG_2.jpg")), QStringLiteral("2.jpg")}};
            QCOMPARE(applied.at(0).at(0).value<QList<RenamePair>>(), expected);
        }
    }
};

QTEST_MAIN(TestBulkRenameSheet)
#include "tst_bulkrenamesheet.moc"
