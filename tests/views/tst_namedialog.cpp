// The name prompt behind renaming and creating: confirming needs a name that is not blank,
// Return confirms, and only spaces and tabs are trimmed.

#include "namedialog.h"
#include "testdir.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestNameDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    void returnConfirmsOnlyANameThatIsNotBlank_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("confirmed");
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("spaces and tabs") << QStringLiteral(" \t  ") << false << QString();
        QTest::newRow("plain") << QStringLiteral("notes") << true << QStringLiteral("notes");
        QTest::newRow("padded") << QStringLiteral("  a b.txt\t") << true << QStringLiteral("a b.txt");
        QTest::newRow("line break kept") << QStringLiteral(" x\n ") << true << QStringLiteral("x\n");
    }
    void returnConfirmsOnlyANameThatIsNotBlank()
    {
        QFETCH(QString, typed);
        QFETCH(bool, enabled);
        QFETCH(QString, confirmed);
        NameDialog dialog;
        dialog.setTexts("New Folder", "Folder Name", "Cancel", "Create");
        QSignalSpy spy(&dialog, &NameDialog::confirmed);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.field()->setFocus();
        dialog.setName(typed);
        QCOMPARE(dialog.confirmButton()->isEnabled(), enabled);
        QTest::keyClick(dialog.field(), Qt::Key_Return);
        QCOMPARE(spy.count(), enabled ? 1 : 0);
        if (enabled)
            QCOMPARE(spy.first().first().toString(), confirmed);
        // Confirming leaves closing to the owner, which knows whether the work succeeded.
        QVERIFY(dialog.isVisible());
    }

    void escapeCancels()
    {
        NameDialog dialog;
        dialog.setName(QStringLiteral("kept"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::keyClick(dialog.field(), Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QCOMPARE(dialog.name(), QStringLiteral("kept"));
    }

private:
    TestDir m_dir;
};

QTEST_MAIN(TestNameDialog)
#include "tst_namedialog.moc"
