// A window closed right after a transfer, while the reloads the transfer started and the icon
// fetches of the new rows are still under way, over and over: under the address sanitizer any
// view that is reached once its members are gone fails the run. Each round copies (F5) and
// moves (F6) a file no earlier round has seen, so its icon is never cached yet.
// A handful of rounds by default; TEARDOWN_ROUNDS asks for more (the sanitized build runs 200).

#include "appwindow.h"
#include "filelistview.h"
#include "filetableview.h"
#include "paneactions.h"

#include <QTimer>

class TestWindowTeardown : public QObject
{
    Q_OBJECT

    TestDir m_dir;

    // Selects `name` in the left pane and presses `key` in its list; true once the transfer
    // has ended (its reloads only just started).
    static bool transfer(TallowmereApp *app, const QString &name, Qt::Key key)
    {
        TabModel *left = tabOf(app, 0);
        left->setSelection({left->currentUrl().pathAppended(name)});
        if (!QTest::qWaitFor([left] { return left->selectedItems().size() == 1; }))
            return false;
        FileTableView *table = paneOf(app, 0)->list()->table();
        table->setFocus();
        QTest::keyClick(table, key);
        PaneActions *actions = paneOf(app, 0)->actions();
        return QTest::qWaitFor([actions] { return !actions->isBusy(); }, 20000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        prepareProgramIn(m_dir);
    }

    void closedAfterTransfersWithWorkInFlight()
    {
        const int asked = qEnvironmentVariableIntValue("TEARDOWN_ROUNDS");
        const int rounds = asked > 0 ? asked : 5;
        const FilePath from = FilePath::fromString(m_dir.dir(QStringLiteral("from")));
        const FilePath to = FilePath::fromString(m_dir.dir(QStringLiteral("to")));
        for (int round = 0; round < rounds; ++round) {
            const QString copied = QStringLiteral("copied %1.txt").arg(round);
            const QString moved = QStringLiteral("moved %1.dat").arg(round);
            m_dir.file(QStringLiteral("from/") + copied, "c");
            m_dir.file(QStringLiteral("from/") + moved, "m");
            auto app = openWindow({900, 500});
            QVERIFY(app);
            tabOf(app.get(), 0)->navigate(from);
            tabOf(app.get(), 1)->navigate(to);
            QVERIFY(panesListed(app.get()));
            QVERIFY(transfer(app.get(), copied, Qt::Key_F5));
            QVERIFY(transfer(app.get(), moved, Qt::Key_F6));
            // One more turn of the event loop: the reloads run, the new rows ask for icons.
            QTimer::singleShot(0, this, [&app] { app.reset(); });
            QTRY_VERIFY(!app);
            QVERIFY(m_dir.exists(QStringLiteral("to/") + copied) && m_dir.exists(QStringLiteral("to/") + moved));
            QVERIFY(m_dir.exists(QStringLiteral("from/") + copied) && !m_dir.exists(QStringLiteral("from/") + moved));
        }
    }
};

QTEST_MAIN(TestWindowTeardown)
#include "tst_windowteardown.moc"
