// A tab over real folders: loads and their order, errors and recovery, the watcher, the
// selection across reloads, and the kept sorted and filtered list.

#include "itemfilter.h"
#include "itemlists.h"
#include "tabmodel.h"
#include "testdir.h"
#include "urls.h"

#include <QFutureWatcher>
#include <QSignalSpy>
#include <QTest>

#include <sys/time.h>

using Keys = QList<SortKey>;
Q_DECLARE_METATYPE(Keys)

namespace {

constexpr std::chrono::milliseconds Debounce{50};

bool waitForLoad(TabModel &tab)
{
    return QTest::qWaitFor([&] { return tab.loadTask().isFinished() && !tab.isLoading(); }, 20000);
}

void setModified(const TestDir &dir, const QString &name, qint64 secs)
{
    const timeval times[2] = {{secs, 0}, {secs, 0}};
    ::utimes(QFile::encodeName(dir.path(name)).constData(), times);
}

// Many entries make a listing slow enough to finish after a small folder's.
void fill(const TestDir &dir, const QString &folder, int count)
{
    for (int i = 0; i < count; ++i)
        dir.file(QStringLiteral("%1/f%2").arg(folder).arg(i));
}

} // namespace

class TestTabModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_home.isolateHome(); }

    void newTabLoadsItsFolder()
    {
        TestDir dir;
        dir.file("b.txt");
        dir.dir("a");
        TabModel tab(dir.url(), false);
        QVERIFY(tab.isLoading());
        QCOMPARE(tab.reloadCount(), 1);
        QVERIFY(waitForLoad(tab));
        QCOMPARE(namesOf(tab.items()), QStringList({"a", "b.txt"}));
        QCOMPARE(namesOf(tab.visibleItems()), QStringList({"a", "b.txt"}));
    }

    void onlyTheLastNavigationIsShown_data()
    {
        QTest::addColumn<int>("firstSize");
        QTest::addColumn<int>("secondSize");
        QTest::newRow("first listing slower") << 10000 << 1;
        QTest::newRow("second listing slower") << 1 << 10000;
    }

    void onlyTheLastNavigationIsShown()
    {
        QFETCH(int, firstSize);
        QFETCH(int, secondSize);
        TestDir dir;
        fill(dir, "first", firstSize);
        fill(dir, "second", secondSize);
        TabModel tab(dir.url(), false);
        QVERIFY(waitForLoad(tab));
        QStringList seen; // the folder of every list the tab published
        connect(&tab, &TabModel::itemsChanged, this, [&] {
            if (!tab.items().isEmpty())
                seen << Urls::lastPathComponent(Urls::deletingLastPathComponent(tab.items().first().url));
        });
        tab.navigate(dir.url("first"));
        const QFuture<void> firstLoad = tab.loadTask();
        tab.navigate(dir.url("second"));
        QVERIFY(waitForLoad(tab));
        QTRY_VERIFY_WITH_TIMEOUT(firstLoad.isFinished(), 20000);
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList({"second"}));
        QCOMPARE(tab.items().size(), secondSize);
        QVERIFY(!tab.isLoading());
    }

    void unreadableFolderAndRecovery()
    {
        TestDir dir;
        dir.file("shown/x");
        TabModel tab(dir.url("missing"), false, nullptr, Debounce);
        QVERIFY(waitForLoad(tab));
        QVERIFY(tab.hasLoadError());
        QVERIFY(tab.items().isEmpty());
        dir.file("missing/y");
        tab.reload();
        QVERIFY(waitForLoad(tab));
        QVERIFY(!tab.hasLoadError());
        QCOMPARE(namesOf(tab.items()), QStringList({"y"}));

        // The folder shown is deleted by another program: the error shows, and back still works.
        tab.navigate(dir.url("shown"));
        QVERIFY(waitForLoad(tab));
        QVERIFY(QDir(dir.path("shown")).removeRecursively());
        QTRY_VERIFY(tab.hasLoadError());
        QVERIFY(tab.items().isEmpty());
        tab.goBack();
        QVERIFY(waitForLoad(tab));
        QCOMPARE(tab.currentUrl(), dir.url("missing"));
        QCOMPARE(namesOf(tab.items()), QStringList({"y"}));
        QVERIFY(!tab.hasLoadError());
    }

    void changeByAnotherProgramShowsAfterTheDebounce()
    {
        TestDir dir;
        TabModel tab(dir.url(), false, nullptr, Debounce);
        QVERIFY(waitForLoad(tab));
        const int reloads = tab.reloadCount();
        dir.file("arrived.txt");
        QTRY_COMPARE(namesOf(tab.items()), QStringList({"arrived.txt"}));
        QCOMPARE(tab.reloadCount(), reloads + 1);
    }

    void reloadKeepsTheSelectionAndIsSilentWhenNothingChanged()
    {
        TestDir dir;
        dir.file("a");
        dir.file("b");
        TabModel tab(dir.url(), false);
        QVERIFY(waitForLoad(tab));
        tab.setSelection({dir.url("a"), dir.url("b")});
        QSignalSpy items(&tab, &TabModel::itemsChanged), visible(&tab, &TabModel::visibleItemsChanged);
        tab.reload();
        QVERIFY(waitForLoad(tab));
        QCOMPARE(items.size() + visible.size(), 0);

        QFile::remove(dir.path("b"));
        tab.setShowHidden(false); // the same value still reloads
        QCOMPARE(tab.reloadCount(), 3);
        QVERIFY(waitForLoad(tab));
        QCOMPARE(items.size(), 1);
        QCOMPARE(tab.selection(), QSet<QUrl>({dir.url("a"), dir.url("b")}));
        QCOMPARE(namesOf(tab.selectedItems()), QStringList({"a"}));
    }

    void navigationClearsSelectionAndFilter()
    {
        TestDir dir;
        dir.file("a");
        TabModel tab(dir.url(), false);
        QVERIFY(waitForLoad(tab));
        tab.setSelection({dir.url("a")});
        tab.setFilterQuery("zzz");
        tab.setFilterActive(true);
        QVERIFY(tab.visibleItems().isEmpty());
        const NavigationHistory before = tab.history();
        tab.navigate(dir.url()); // the folder already shown
        QCOMPARE(tab.history(), before);
        QVERIFY(tab.selection().isEmpty());
        QVERIFY(tab.filterQuery().isEmpty());
        QVERIFY(!tab.filterActive());
        QCOMPARE(tab.reloadCount(), 2);
        QCOMPARE(namesOf(tab.visibleItems()), QStringList({"a"}));
    }

    void visibleOrder_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QStringList>("expected");
        const SortKey name{SortProperty::name, SortDirection::forward};
        const SortKey nameDown{SortProperty::name, SortDirection::reverse};
        const SortKey size{SortProperty::size, SortDirection::forward};
        const SortKey sizeDown{SortProperty::size, SortDirection::reverse};
        const SortKey date{SortProperty::modificationDate, SortDirection::forward};
        const SortKey dateDown{SortProperty::modificationDate, SortDirection::reverse};
        // Files: file2 (3 bytes, oldest), File10 (1 byte), file1 (3 bytes, newest); folders dirB, dirA.
        QTest::newRow("name") << Keys{name} << QStringList{"dirA", "dirB", "file1", "file2", "File10"};
        QTest::newRow("name reversed") << Keys{nameDown} << QStringList{"dirB", "dirA", "File10", "file2", "file1"};
        QTest::newRow("size, ties in given order") << Keys{size} << QStringList{"dirA", "dirB", "File10", "file1", "file2"};
        QTest::newRow("size reversed, then name") << Keys{sizeDown, name} << QStringList{"dirA", "dirB", "file1", "file2", "File10"};
        QTest::newRow("date") << Keys{date} << QStringList{"dirA", "dirB", "file2", "File10", "file1"};
        QTest::newRow("date reversed") << Keys{dateDown} << QStringList{"dirA", "dirB", "file1", "File10", "file2"};
    }

    void visibleOrder()
    {
        QFETCH(Keys, keys);
        QFETCH(QStringList, expected);
        TestDir dir;
        dir.dir("dirB");
        dir.dir("dirA");
        dir.file("file2", "abc");
        dir.file("File10", "a");
        dir.file("file1", "xyz");
        setModified(dir, "file2", 1000);
        setModified(dir, "File10", 2000);
        setModified(dir, "file1", 3000);
        TabModel tab(dir.url(), false);
        tab.setSortOrder(keys); // while loading: the result must still come out in this order
        QVERIFY(waitForLoad(tab));
        QCOMPARE(namesOf(tab.visibleItems()), expected);
        // The selection follows the listing, not the order shown.
        tab.setSelection({dir.url("file1"), dir.url("File10")});
        QCOMPARE(namesOf(tab.selectedItems()), QStringList({"file1", "File10"}));
        tab.setSortOrder({SortKey{}});
        QCOMPARE(tab.visibleItems(), tab.items());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("blank") << " \t " << QStringList{"report.txt", "Résumé.pdf", "straße", "ÉCOLE"};
        QTest::newRow("capitals") << "REP" << QStringList{"report.txt"};
        QTest::newRow("accents in the name") << "resume" << QStringList{"Résumé.pdf"};
        QTest::newRow("accents in the query") << "écol" << QStringList{"ÉCOLE"};
        QTest::newRow("decomposed query") << QString::fromUtf8("re\u0301sum") << QStringList{"Résumé.pdf"};
        QTest::newRow("trimmed") << "\t.pdf  " << QStringList{"Résumé.pdf"};
        QTest::newRow("sharp s folds") << "STRASSE" << QStringList{"straße"};
        QTest::newRow("no match") << "zip" << QStringList{};
    }

    void filter()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QList<FileItem> items;
        for (const char *name : {"report.txt", "Résumé.pdf", "straße", "ÉCOLE"})
            items << FileItem(QUrl::fromLocalFile(QStringLiteral("/x/") + QString::fromUtf8(name)),
                              QString::fromUtf8(name), false, 0, {}, false);
        QCOMPARE(namesOf(ItemFilter::apply(items, query)), expected);
    }

    void closedTabDropsItsLoad()
    {
        TestDir dir;
        fill(dir, "big", 5000);
        auto *tab = new TabModel(dir.url("big"), false);
        const QFuture<void> load = tab->loadTask();
        delete tab;
        QTRY_VERIFY_WITH_TIMEOUT(load.isFinished(), 20000);
    }

private:
    TestDir m_home;
};

QTEST_GUILESS_MAIN(TestTabModel)
#include "tst_tabmodel.moc"
