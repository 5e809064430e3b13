// A window closed right after a transfer, while the reloads the transfer started and the icon
// fetches of the new rows are still under way, over and over: under the address sanitizer any
// view that is reached once its members are gone fails the run. Each round copies (F5) and
// moves (F6) a file no earlier round has seen, so its icon is never cached yet.
// A handful of rounds by default; TEARDOWN_ROUNDS asks for more (the sanitized build runs 200).

#include "filelistview.h"
#include "filetableview.h"
#include "paneactions.h"
#include "panemodel.h"
#include "paneview.h"
#include "programhome.h"
#include "tabmodel.h"
#include "tallowmereapp.h"
#include "contentview.h"
#include "workspacemodel.h"
#include "workspaceview.h"

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

class TestWindowTeardown : public QObject
{
    Q_OBJECT

    TestDir m_dir;

    static PaneView *pane(TallowmereApp *app, int index) { return app->window()->workspaceView()->paneView(index); }

    static bool loaded(TallowmereApp *app)
    {
        return QTest::qWaitFor([app] {
            for (PaneModel *pane : app->environment().workspace->panes()) {
                if (pane->activeTab()->isLoading())
                    return false;
            }
            return true;
        });
    }

    // Selects `name` in the left pane and presses `key` in its list; true once the transfer
    // has ended (its reloads only just started).
    static bool transfer(TallowmereApp *app, const QString &name, Qt::Key key)
    {
        TabModel *left = pane(app, 0)->pane()->activeTab();
        if (!QTest::qWaitFor([&] {
                return std::any_of(left->items().cbegin(), left->items().cend(),
                                   [&](const FileItem &item) { return item.name == name; });
            }))
            return false;
        for (const FileItem &item : left->items()) {
            if (item.name == name)
                left->setSelection({item.url});
        }
        FileTableView *table = pane(app, 0)->list()->table();
        table->setFocus();
        QTest::keyClick(table, key);
        PaneActions *actions = pane(app, 0)->actions();
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
            auto app = std::make_unique<TallowmereApp>();
            app->window()->resize(900, 500);
            app->window()->show();
            QVERIFY(QTest::qWaitForWindowExposed(app->window()));
            pane(app.get(), 0)->pane()->activeTab()->navigate(from);
            pane(app.get(), 1)->pane()->activeTab()->navigate(to);
            QVERIFY(loaded(app.get()));
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
