// The column browser's chain over real folders: selection modes and their anchor, the chain
// cut and grown, and loads that arrive after their column changed.

#include "columnbrowsermodel.h"
#include "itemlists.h"
#include "testdir.h"

#include <QTest>

namespace {

bool loadsDone(const ColumnBrowserModel &model)
{
    return QTest::qWaitFor([&] {
        const auto &tasks = model.loadTasks();
        return std::all_of(tasks.begin(), tasks.end(), [](const QFuture<void> &task) { return task.isFinished(); });
    }, 20000);
}

} // namespace

class TestColumnBrowserModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        m_dir->isolateHome();
        for (const char *name : {"A/inner/deep.txt", "A/a.txt", "B/b.txt", "c.txt", "d.txt"})
            m_dir->file(name);
    }

    void chainFollowsTheSelectionAndReloads()
    {
        ColumnBrowserModel model(m_dir->url(), false);
        QCOMPARE(model.deepestDirectory(), m_dir->url());
        model.start();
        QCOMPARE(model.columns().size(), 1);
        QVERIFY(loadsDone(model));
        model.select(m_dir->url("A"), 0, SelectMode::single);
        QCOMPARE(model.columns().size(), 2);
        QVERIFY(model.columns().at(1).isLoading);
        QVERIFY(loadsDone(model));

        // A reload keeps the chain and the selections, even of entries now gone.
        model.select(m_dir->url("A/a.txt"), 1, SelectMode::single);
        m_dir->file("A/new.txt");
        QVERIFY(QFile::remove(m_dir->path("A/a.txt")));
        model.reloadColumns();
        QVERIFY(loadsDone(model));
        QCOMPARE(model.columns().size(), 2);
        QCOMPARE(namesOf(model.columns().at(1).items), QStringList({"inner", "new.txt"}));
        QCOMPARE(model.columns().at(1).selection, QSet<FilePath>({m_dir->url("A/a.txt")}));
        QVERIFY(model.selectedItems(1).isEmpty());

        model.select(m_dir->url("A/inner"), 1, SelectMode::single);
        QVERIFY(loadsDone(model));
        model.select(m_dir->url("A/inner/deep.txt"), 2, SelectMode::single);
        QCOMPARE(model.columns().size(), 3);
        QCOMPARE(model.activeColumnIndex(), 2);
        QCOMPARE(model.deepestSelectedFile()->name, "deep.txt");
        // Cutting the chain back, the preview column and drops are tst_columnbrowserview's.

        ColumnBrowserModel unreadable(m_dir->url("missing"), false); // an empty column, not loading
        unreadable.start();
        QVERIFY(loadsDone(unreadable));
        QVERIFY(unreadable.columns().at(0).items.isEmpty() && !unreadable.columns().at(0).isLoading);
    }

    void selectionModes_data()
    {
        // Entries in listing order: A, B, c.txt, d.txt. Steps: s (single), t (toggle), r (range).
        // A range down from the anchor is tst_columnbrowserview's (Shift+Down).
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("columns");
        QTest::newRow("range without an anchor is single") << "r:c.txt" << QStringList{"c.txt"} << 1;
        QTest::newRow("range up, the anchor kept") << "s:B r:d.txt r:A" << QStringList{"A", "B"} << 1;
        QTest::newRow("toggle two folders opens none") << "t:A t:B" << QStringList{"A", "B"} << 1;
        QTest::newRow("toggle off leaves one folder open") << "t:A t:B t:B" << QStringList{"A"} << 2;
        QTest::newRow("toggle moves the anchor") << "s:A t:c.txt r:d.txt" << QStringList{"c.txt", "d.txt"} << 1;
        QTest::newRow("range to an unknown entry is single") << "s:A r:gone" << QStringList{} << 1;
    }

    void selectionModes()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, selected);
        QFETCH(int, columns);
        ColumnBrowserModel model(m_dir->url(), false);
        model.start();
        QVERIFY(loadsDone(model));
        for (const QString &step : steps.split(' ')) {
            const SelectMode mode = step.startsWith('s') ? SelectMode::single
                                    : step.startsWith('t') ? SelectMode::toggle : SelectMode::range;
            model.select(m_dir->url(step.mid(2)), 0, mode);
        }
        QCOMPARE(namesOf(model.selectedItems(0)), selected);
        QCOMPARE(model.columns().size(), columns);
    }

    void staleLoadsAreDropped_data()
    {
        QTest::addColumn<int>("firstSize");
        QTest::addColumn<int>("secondSize");
        QTest::newRow("first listing slower") << 10000 << 1;
        QTest::newRow("second listing slower") << 1 << 10000;
    }

    void staleLoadsAreDropped()
    {
        QFETCH(int, firstSize);
        QFETCH(int, secondSize);
        for (int i = 0; i < firstSize; ++i)
            m_dir->file(QStringLiteral("A/f%1").arg(i));
        for (int i = 0; i < secondSize; ++i)
            m_dir->file(QStringLiteral("B/g%1").arg(i));
        ColumnBrowserModel model(m_dir->url(), false);
        model.start();
        QVERIFY(loadsDone(model));
        model.select(m_dir->url("A"), 0, SelectMode::single);
        model.select(m_dir->url("B"), 0, SelectMode::single);
        QVERIFY(loadsDone(model));
        const Column &column = model.columns().at(1);
        QCOMPARE(column.url, m_dir->url("B"));
        QVERIFY(!column.isLoading);
        QCOMPARE(column.items.size(), secondSize + 1); // and b.txt
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_GUILESS_MAIN(TestColumnBrowserModel)
#include "tst_columnbrowsermodel.moc"
