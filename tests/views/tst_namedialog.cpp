// The name prompt behind renaming and creating: confirming needs a name that is not blank,
// Return confirms, only spaces and tabs are trimmed, and Escape cancels.

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

    void keysAnswerThePrompt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("confirmed"); // empty: nothing confirmed
        QTest::newRow("empty") << QString() << int(Qt::Key_Return) << false << QString();
        QTest::newRow("spaces and tabs") << QStringLiteral(" \t  ") << int(Qt::Key_Return) << false << QString();
        QTest::newRow("plain") << QStringLiteral("notes") << int(Qt::Key_Return) << true << QStringLiteral("notes");
        QTest::newRow("padded") << QStringLiteral("  a b.txt\t") << int(Qt::Key_Return) << true << QStringLiteral("a b.txt");
        QTest::newRow("line break kept") << QStringLiteral(" x\n ") << int(Qt::Key_Return) << true << QStringLiteral("x\n");
        QTest::newRow("Escape cancels") << QStringLiteral("kept") << int(Qt::Key_Escape) << true << QString();
    }
    void keysAnswerThePrompt()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(bool, enabled);
        QFETCH(QString, confirmed);
        NameDialog dialog;
        dialog.setTexts("New Folder", "Folder Name", "Cancel", "Create");
        QSignalSpy spy(&dialog, &NameDialog::confirmed);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.field()->setFocus();
        dialog.setName(typed);
        QCOMPARE(dialog.confirmButton()->isEnabled(), enabled);
        QTest::keyClick(dialog.field(), Qt::Key(key));
        QCOMPARE(spy.count(), confirmed.isEmpty() ? 0 : 1);
        if (!confirmed.isEmpty())
            QCOMPARE(spy.first().first().toString(), confirmed);
        QCOMPARE(rejected.count(), key == Qt::Key_Escape ? 1 : 0);
        QCOMPARE(dialog.name(), typed);
        // Confirming leaves closing to the owner, which knows whether the work succeeded.
        QCOMPARE(dialog.isVisible(), key == Qt::Key_Return);
    }

private:
    TestDir m_dir;
};

QTEST_MAIN(TestNameDialog)
#include "tst_namedialog.moc"
